// SPDX-License-Identifier: MIT
// The tick: motion, ship, the contact scan and its tie-break, the readout refresh, and the
// rule that nothing else runs while the outcome box of a tick is open.
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

void setGround(Game& g, int i, float x1, float y1, float x2, float y2) {
    Line& l = g.ground(i);
    l.X1 = x1;
    l.Y1 = y1;
    l.X2 = x2;
    l.Y2 = y2;
}

// Running, with all terrain far below except the segments the case puts at the hull.
struct Running : Game {
    Running() {
        clearGround();
        EXPECT_EQ(press(kP), Outcome::Ran);
    }
};

// A host asks tickChangesAnything whether to keep its clock going.
TEST(Timer1, NoTickWhileThePlayerPaused) {
    Game g;
    EXPECT_FALSE(g.view.tickChangesAnything());  // ready: Form_Load stopped the timer
    g.press(kP);
    g.press(kSpace);
    EXPECT_TRUE(g.view.tickChangesAnything());
    g.press(kP);
    EXPECT_FALSE(g.view.tickChangesAnything());
    const std::string paused = snapshot(g.view);
    EXPECT_EQ(g.d.tick(), Outcome::Dropped);
    EXPECT_EQ(snapshot(g.view), paused);
    EXPECT_EQ(g.d.ticks(), 0u);
}

TEST(Timer1, ATickAfterTheFlightEndedChangesNothing) {
    Game g;
    g.press(kP);
    g.press(kSpace);
    g.press(kRight);
    g.ticks(5);
    EXPECT_TRUE(g.view.tickChangesAnything());
    g.state.GameOver = true;
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_FALSE(g.view.tickChangesAnything());
    const std::string before = snapshot(g.view);
    EXPECT_EQ(g.d.tick(), Outcome::Ran);
    EXPECT_EQ(g.d.tick(), Outcome::Ran);
    EXPECT_EQ(snapshot(g.view), before);
    EXPECT_EQ(g.d.ticks(), 7u);  // counted although they returned at once
    EXPECT_TRUE(g.platform.boxes.empty());
}

TEST(Timer1, LowestHullSegmentWinsOverLowestGroundSegment) {
    Running g;
    // Ground 9, a 70-wide pad, crosses the cabin's left side (hull 0) and the left leg (hull
    // 3); the slope ground 7 crosses only the left leg, near the foot.
    setGround(g, 9, 5100, 3050, 5170, 3050);
    setGround(g, 7, 5000, 3180, 5120, 3190);
    g.d.tick();
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].title, "Landed!");  // ground 9 was judged
    EXPECT_EQ(g.state.lblScore.Caption, "Score: 14,286");
    EXPECT_TRUE(g.state.GameOver);
}

TEST(Timer1, SharedVertexIsJudgedOnceWithTheLowerIndex) {
    Running g;
    // A flat 80-wide pad and a slope meeting at the hull centre, which only the centre strut
    // reaches.
    setGround(g, 5, 5200, 3000, 5280, 3000);
    setGround(g, 6, 5280, 3000, 5360, 3050);
    g.d.tick();
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].title, "Landed!");
    EXPECT_EQ(g.state.lblScore.Caption, "Score: 12,500");
}

TEST(Timer1, TheScanSeesThisTicksMotion) {
    Running g;
    setGround(g, 4, 5000, 3250, 5600, 3250);  // 10 below the feet
    g.state.SpeedY = neg(20_cur);
    g.d.tick();
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].title, "Crashed!");  // hit at -20.07
    EXPECT_EQ(g.state.Ground(4).Y1, 3230);
    EXPECT_EQ(g.state.SpeedY, neg(20.07_cur));
    g.ticks(3);
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.state.Ground(4).Y1, 3230);
}

TEST(Timer1, NothingElseRunsWhileTheOutcomeBoxIsOpen) {
    Running g;
    for (int k = 0; k < 7; ++k)
        g.press(kUp);  // thrust 0.5
    g.press(kSpace);
    setGround(g, 5, 5200, 3000, 5280, 3000);
    Outcome tick = Outcome::Ran, reset = Outcome::Ran, menu = Outcome::Ran, key = Outcome::Ran;
    std::string fuel, thrust, height;
    g.platform.whileOpen = [&] {
        tick = g.d.tick();
        reset = g.d.keyDown(kR);
        menu = g.d.click("mnuReset");
        key = g.d.keyUp(kSpace);
        fuel = g.state.lblFuel.Caption;
        thrust = g.state.lblThrust.Caption;
        height = g.state.lblHeight.Caption;
    };
    EXPECT_EQ(g.d.tick(), Outcome::Ran);
    EXPECT_EQ(tick, Outcome::Dropped);
    EXPECT_EQ(reset, Outcome::Dropped);
    EXPECT_EQ(menu, Outcome::Dropped);
    EXPECT_EQ(key, Outcome::Dropped);
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.d.ticks(), 1u);
    EXPECT_TRUE(g.state.GameOver);
    EXPECT_TRUE(g.state.EngineOn);

    // The readouts of the ending tick are refreshed after the box has closed.
    EXPECT_EQ(fuel, "Fuel: 500");
    EXPECT_EQ(thrust, "Thrust: 1.5");
    EXPECT_EQ(height, "Height: 60");
    EXPECT_EQ(g.state.Fuel, 499.5_cur);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");  // 499.5 rounds away from zero
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 5.0");
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 70");
}

TEST(Timer1, ReadoutsChangeOnlyAtTheEndOfATick) {
    Game g;
    g.press(kP);
    g.press(kUp);
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 1.5");
    g.state.lblScore.Caption = "Score: 7";
    g.d.tick();
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 2.0");
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 60");  // moved by 0 in the first tick
    EXPECT_EQ(g.state.lblScore.Caption, "Score: 7");     // the tick never writes the score
    g.d.tick();
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 59.9993");

    g.state.Thrust = 100_cur;
    g.state.Fuel = neg(0.5_cur);
    g.d.tick();
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 1,000.0");
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: -1");

    g.state.Thrust = 0.05_cur;
    g.state.Fuel = 0.4999_cur;
    g.d.tick();
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 0.5");
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 0");
}

TEST(Timer1, TheShipTurnsOneStepPerTickWhileAKeyIsHeld) {
    Game g;
    g.press(kP);
    g.press(kLeft);
    EXPECT_EQ(g.state.Angle, 4.9_cur);  // the key only records; the tick turns
    g.ticks(3);
    EXPECT_EQ(g.state.Angle, 4.3_cur);
    g.press(kRight);
    g.ticks(2);
    EXPECT_EQ(g.state.Angle, 4.3_cur);
    g.release(kLeft);
    g.ticks(1);
    EXPECT_EQ(g.state.Angle, 4.5_cur);
}

TEST(Timer1, AnUnhandledErrorStopsTheProgram) {
    Game g;
    setGround(g, 7, 50000, 5880, 50100, 5400);  // the wrap's offset leaves the 16-bit range
    g.press(kP);
    EXPECT_EQ(g.d.tick(), Outcome::Failed);
    EXPECT_EQ(g.d.error(), "Overflow");
    EXPECT_TRUE(g.d.stopped());
    EXPECT_EQ(g.d.tick(), Outcome::Dropped);
    EXPECT_EQ(g.press(kR), Outcome::Dropped);
    EXPECT_EQ(g.d.click("mnuControls"), Outcome::Dropped);
    EXPECT_TRUE(g.platform.boxes.empty());
}

}  // namespace
}  // namespace vandrel::test
