// SPDX-License-Identifier: MIT
// The keyboard: turning keys, thrust limits, the engine, P's state machine and R.
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

void pressTimes(Game& g, std::int16_t key, int n) {
    for (int k = 0; k < n; ++k)
        EXPECT_EQ(g.press(key), Outcome::Ran);
}

TEST(Keyboard, ThrustStaysWithinTheLimiter) {
    Game g;
    pressTimes(g, kUp, 17);
    EXPECT_EQ(g.state.Thrust, 1_cur);
    pressTimes(g, kUp, 3);
    EXPECT_EQ(g.state.Thrust, 1_cur);
    pressTimes(g, kDown, 20);
    EXPECT_EQ(g.state.Thrust, 0.05_cur);
    Game h;
    pressTimes(h, kDown, 2);
    EXPECT_EQ(h.state.Thrust, 0.05_cur);
    pressTimes(h, kDown, 1);
    EXPECT_EQ(h.state.Thrust, 0.05_cur);
    EXPECT_EQ(h.state.lblThrust.Caption, "Thrust: 1.5");  // no readout from a key
}

TEST(Keyboard, WithoutTheLimiterThrustHasNoCeilingButTheSameFloor) {
    Game g;
    g.state.NoLimiter = true;
    pressTimes(g, kUp, 17);
    EXPECT_EQ(g.state.Thrust, 1_cur);
    g.press(kUp);
    EXPECT_EQ(g.state.Thrust, 1.05_cur);
    g.press(kUp);
    EXPECT_EQ(g.state.Thrust, 1.1_cur);
    pressTimes(g, kUp, 200);
    EXPECT_EQ(g.state.Thrust, 11.1_cur);
    pressTimes(g, kDown, 300);
    EXPECT_EQ(g.state.Thrust, 0.05_cur);
}

TEST(Keyboard, ArrowsRecordWhetherTheyAreHeld) {
    Game g;
    g.press(kLeft);
    g.press(kRight);
    EXPECT_TRUE(g.state.TurnKey(0));
    EXPECT_TRUE(g.state.TurnKey(1));
    EXPECT_EQ(g.state.Angle, 4.9_cur);
    g.release(kLeft);
    EXPECT_FALSE(g.state.TurnKey(0));
    EXPECT_TRUE(g.state.TurnKey(1));
    g.release(kRight);
    EXPECT_FALSE(g.state.TurnKey(1));
    g.press(kLeft);
    g.release(kUp);  // another key's release leaves it held
    EXPECT_TRUE(g.state.TurnKey(0));
}

TEST(Keyboard, SpaceBarFiresOnTheNextTickAndReleaseHidesTheFlame) {
    Game g;
    g.press(kP);
    g.press(kP);  // paused
    g.press(kSpace);
    EXPECT_TRUE(g.state.EngineOn);
    EXPECT_FALSE(g.state.Fire.Visible);  // no flame until a tick fires the engine
    g.state.Fire.Visible = true;
    g.release(kSpace);
    EXPECT_FALSE(g.state.EngineOn);
    EXPECT_FALSE(g.state.Fire.Visible);

    g.press(kP);
    g.press(kSpace);
    g.d.tick();
    EXPECT_TRUE(g.state.Fire.Visible);
    g.release(kSpace);
    EXPECT_FALSE(g.state.Fire.Visible);  // at once, without a tick
    EXPECT_EQ(g.state.Fuel, 499.85_cur);
}

TEST(Keyboard, PStartsPausesAndResumes) {
    Game g;
    g.press(kP);
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_FALSE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");  // hidden, caption kept
    g.press(kP);
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_TRUE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.lblPause.Caption, "Paused");
    g.press(kP);
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_FALSE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.lblPause.Caption, "Paused");
    EXPECT_EQ(g.d.keyDown(kP, 1), Outcome::Ran);  // Shift+P pauses too
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_EQ(g.d.keyDown(kP, 2), Outcome::Ran);  // and Ctrl+P resumes
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_EQ(g.d.keyUp(kP), Outcome::Ran);  // releasing P does nothing
    EXPECT_TRUE(g.state.Timer1.Enabled);
}

TEST(Keyboard, OnlyTheSevenKeysAct) {
    Game g;
    const std::string before = snapshot(g.view);
    // F1 and F3 carry the codes of the characters 'p' and 'r'.
    for (std::int16_t key : {112, 114, 65, 13, 27, 16, 0, -1, 32767, -32768}) {
        EXPECT_EQ(g.press(key), Outcome::Ran);
        EXPECT_EQ(g.release(key), Outcome::Ran);
    }
    EXPECT_EQ(snapshot(g.view), before);
    EXPECT_EQ(g.d.keyDown(kR, 1), Outcome::Ran);  // Shift+R resets
    EXPECT_EQ(g.state.Ground(0).X1, 1880);
}

TEST(Keyboard, AfterTheFlightOnlyRAndTheReleasesOfArrowsAct) {
    Game g;
    g.press(kP);
    g.press(kSpace);
    g.press(kLeft);
    g.d.tick();
    g.state.GameOver = true;
    g.state.Fire.Visible = true;
    const Currency thrust = g.state.Thrust;
    for (std::int16_t key : {kUp, kDown, kRight, kP})
        g.press(key);
    EXPECT_EQ(g.state.Thrust, thrust);
    EXPECT_FALSE(g.state.TurnKey(1));
    EXPECT_TRUE(g.state.Timer1.Enabled);  // P is ignored
    EXPECT_FALSE(g.state.lblPause.Visible);

    g.release(kSpace);  // the engine stays on and the flame as it was
    EXPECT_TRUE(g.state.EngineOn);
    EXPECT_TRUE(g.state.Fire.Visible);
    g.release(kLeft);
    EXPECT_FALSE(g.state.TurnKey(0));

    g.state.EngineOn = false;
    g.press(kSpace);
    EXPECT_FALSE(g.state.EngineOn);

    g.press(kR);
    EXPECT_FALSE(g.state.GameOver);
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");
}

}  // namespace
}  // namespace vandrel::test
