// SPDX-License-Identifier: MIT
// The reset to a new flight: state, prompt, terrain re-seat and shift, and what it keeps.
#include <string>

#include "tests/core/game.h"
#include "tests/core/scene_data.h"

namespace vandrel::test {
namespace {

void expectDesignHeight(Game& g) {
    for (int i = 0; i < kGroundCount; ++i) {
        EXPECT_EQ(g.ground(i).Y1, kGround[i][1]) << i;
        EXPECT_EQ(g.ground(i).Y2, kGround[i][3]) << i;
    }
}

void expectReady(Game& g) {
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_TRUE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");
    EXPECT_FALSE(g.state.GameOver);
    EXPECT_FALSE(g.state.EngineOn);
    EXPECT_FALSE(g.state.TurnKey(0) || g.state.TurnKey(1));
    for (int i = 0; i < kHullCount; ++i)
        EXPECT_EQ(g.state.ship(i).BorderColor, kWhite) << i;
    EXPECT_EQ(g.state.Thrust, 0.15_cur);
    EXPECT_EQ(g.state.Fuel, 500_cur);
    EXPECT_EQ(g.ground(12).Y2, 6000);
}

// A flight that has just crashed: the whole terrain is lifted so that the slope under the
// ship cuts through the right leg; the space bar held or not.
void crash(Game& g, bool spaceHeld) {
    g.press(kP);
    if (spaceHeld) g.press(kSpace);
    for (int i = 0; i < kGroundCount; ++i) {
        g.ground(i).Y1 -= 2330;
        g.ground(i).Y2 -= 2330;
    }
    g.d.tick();
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    ASSERT_EQ(g.platform.boxes[0].title, "Crashed!");
}

TEST(ResetGame, AfterACrashTheGameIsReadyAgain) {
    Game g;
    crash(g, false);
    EXPECT_EQ(g.press(kR), Outcome::Ran);
    expectReady(g);
    expectDesignHeight(g);
    EXPECT_EQ(g.state.SpeedY, neg(0.07_cur));  // gravity acted once
    EXPECT_EQ(g.state.SpeedX, Currency());
    EXPECT_FALSE(g.state.Fire.Visible);
    EXPECT_EQ(g.state.lblScore.Caption, "Score: ");
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.d.tick(), Outcome::Dropped);
}

TEST(ResetGame, AtStartUpTheTerrainMovesRightAndTheEdgesWrap) {
    Game g;
    g.press(kR);
    expectReady(g);
    expectDesignHeight(g);
    const float x[kGroundCount][2] = {{1880, 3080},   {3080, 3800},   {3800, 4520},   {4520, 5360},
                                      {5360, 6320},   {6320, 7640},   {7640, 8600},   {8600, 10160},
                                      {10160, 10880}, {10880, 12680}, {12680, 14000}, {-1905, -585},
                                      {-587, 1895}};
    for (int i = 0; i < kGroundCount; ++i) {
        EXPECT_EQ(g.ground(i).X1, x[i][0]) << i;
        EXPECT_EQ(g.ground(i).X2, x[i][1]) << i;
    }
    for (int i = 0; i < kStarCount; ++i) {  // the stars stay where they are
        EXPECT_EQ(g.star(i).Left, kStars[i][0]);
        EXPECT_EQ(g.star(i).Top, kStars[i][1]);
    }
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 60");
}

TEST(ResetGame, TerrainReturnsToItsStartHeightAfterAFlight) {
    Game g;
    g.press(kP);
    g.press(kSpace);
    g.ticks(120);  // climbing: the terrain sinks
    g.release(kSpace);
    g.ticks(30);
    ASSERT_GT(g.ground(1).Y1, 6100);
    const std::string height = g.state.lblHeight.Caption;
    const Shape star = g.star(3);
    g.press(kP);  // paused
    g.press(kR);
    expectReady(g);
    expectDesignHeight(g);
    for (int i : {0, 3, 5, 8, 10})
        EXPECT_EQ(g.ground(i).Y1, g.ground(i).Y2);
    // The readout keeps the height from before the re-seat until the first tick.
    EXPECT_EQ(g.state.lblHeight.Caption, height);
    EXPECT_EQ(g.star(3).Left, star.Left);
    EXPECT_EQ(g.star(3).Top, star.Top);
    g.press(kP);
    g.d.tick();
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 59.9993");
}

TEST(ResetGame, ReSeatsFromAnyHeightExactly) {
    Game g;
    for (int i = 0; i < kGroundCount; ++i) {
        g.ground(i).Y1 += 1234.567f;
        g.ground(i).Y2 += 1234.567f;
    }
    P::ResetGame(g.form);
    expectDesignHeight(g);  // Ground(12) too: its Y1 is shifted before its Y2
}

TEST(ResetGame, AnEngineStuckOnAfterACrashFiresOnceInTheReset) {
    Game g;
    crash(g, true);
    EXPECT_FALSE(g.state.Fire.Visible);  // the crash hid the flame
    g.release(kSpace);                   // ignored while the flight is over
    EXPECT_TRUE(g.state.EngineOn);
    g.press(kR);
    EXPECT_TRUE(g.state.Fire.Visible);
    EXPECT_FALSE(g.state.EngineOn);
    EXPECT_EQ(g.state.Fuel, 499.85_cur);
    EXPECT_EQ(g.state.SpeedY, 0.08_cur);  // 0.15 - 0.07
    EXPECT_EQ(g.state.SpeedX, 0.0015_cur);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");
    // The flame stays lit on the start screen until the space bar is next released.
    g.press(kP);
    g.ticks(2);
    EXPECT_TRUE(g.state.Fire.Visible);
    EXPECT_EQ(g.state.Fuel, 499.85_cur);
    g.press(kSpace);
    g.release(kSpace);
    EXPECT_FALSE(g.state.Fire.Visible);
}

TEST(ResetGame, AnArrowHeldDuringTheResetTurnsTheNewShip) {
    for (auto [key, angle] : {std::pair{kLeft, 4.7_cur}, std::pair{kRight, 5.1_cur}}) {
        Game g;
        g.press(key);
        g.press(kR);
        EXPECT_EQ(g.state.Angle, angle);
        EXPECT_FALSE(g.state.TurnKey(0) || g.state.TurnKey(1));
        EXPECT_NE(g.state.ship(3).X2, 5160);  // placed for the turned attitude
        g.press(kP);
        g.ticks(2);  // the key is held, but the reset forgot it
        EXPECT_EQ(g.state.Angle, angle);
    }
}

TEST(ResetGame, FromEveryPlayState) {
    Game paused;
    paused.press(kP);
    paused.press(kP);
    EXPECT_EQ(paused.view.state().lblPause.Caption, "Paused");
    paused.press(kR);
    expectReady(paused);

    Game landed;
    landed.press(kP);
    P::Touchdown(landed.form, 8);
    ASSERT_EQ(landed.view.state().lblScore.Caption, "Score: 1,389");
    landed.press(kR);
    expectReady(landed);
    EXPECT_EQ(landed.view.state().lblScore.Caption, "Score: ");
}

}  // namespace
}  // namespace vandrel::test
