// SPDX-License-Identifier: MIT
// A replay in the window: the script's events at their ticks, the player's keys and the
// Options menu held back, P pausing the replay, and the player's game back when it ends.
#include "qt/replay_driver.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

using Step = ReplayDriver::Step;

TEST_F(GameWindowTest, AReplayPlaysItsScriptAndHoldsThePlayersKeysUntilItEnds) {
    ReplayDriver replay(window, {Step{CommandKind::Down, kP}, Step{CommandKind::Tick, 0, 3},
                                 Step{CommandKind::Down, kSpace}, Step{CommandKind::Tick, 0, 2},
                                 Step{CommandKind::Up, kSpace}});
    EXPECT_TRUE(window.clock().running());  // the replay's own clock, in the Ready state
    // The player's game keys and the Options menu reach nothing.
    window.keyDown(kSpace, 0);
    window.keyUp(kSpace, 0);
    window.keyDown(kR, 0);
    window.click("mnuGHigh");
    EXPECT_TRUE(view.menuItem("mnuGNormal")->Checked);
    EXPECT_FALSE(view.menuItem("mnuGHigh")->Checked);

    window.tick();  // P, then the first tick
    EXPECT_EQ(dispatcher.ticks(), 1u);
    EXPECT_FALSE(view.EngineOn());
    // P pauses the replay, not the game; its repeats do not resume it.
    window.keyDown(kP, 0);
    window.keyDown(kP, 0);
    EXPECT_TRUE(replay.paused());
    EXPECT_FALSE(window.clock().running());
    EXPECT_TRUE(view.Timer1().Enabled);
    window.keyUp(kP, 0);
    window.keyDown(kP, 0);
    window.keyUp(kP, 0);
    EXPECT_FALSE(replay.paused());
    EXPECT_TRUE(window.clock().running());

    window.tick();
    window.tick();  // the third tick of the first run: space goes down after it
    EXPECT_EQ(dispatcher.ticks(), 3u);
    EXPECT_TRUE(view.EngineOn());
    window.tick();
    window.tick();  // the last tick, then the script's last line
    EXPECT_EQ(dispatcher.ticks(), 5u);
    EXPECT_FALSE(view.EngineOn());
    EXPECT_TRUE(replay.finished());

    // The flight goes on, the player's again.
    window.keyDown(kSpace, 0);
    EXPECT_TRUE(view.EngineOn());
    window.tick();
    EXPECT_EQ(dispatcher.ticks(), 6u);
}

}  // namespace
}  // namespace vandrel::qt::test
