// SPDX-License-Identifier: MIT
// Every 16-bit key code, pressed and released, in every play state: the keys the game knows
// act as their handlers say, and every other code is ignored without an error.
#include <gtest/gtest.h>

#include <set>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

enum class PlayState { Ready, Running, Paused, Over };

// A game brought into a play state by the player's own keys.
void enter(Game& g, PlayState state) {
    if (state == PlayState::Ready) return;
    g.press(kP);
    if (state == PlayState::Paused) g.press(kP);
    if (state != PlayState::Over) return;
    // Default options: the ship falls onto the slope under it and crashes.
    for (int k = 0; k < 1000 && !g.state.GameOver; ++k)
        g.d.tick();
    ASSERT_TRUE(g.state.GameOver);
}

class EveryKeyCode : public ::testing::TestWithParam<PlayState> {};

TEST_P(EveryKeyCode, UnknownCodesChangeNothing) {
    Game g;
    enter(g, GetParam());
    const std::string before = snapshot(g.view);
    const std::size_t boxes = g.platform.boxes.size();
    const std::set<int> known = {kSpace, kLeft, kUp, kRight, kDown, kP, kR};
    for (int code = -32768; code <= 32767; ++code) {
        if (known.count(code) != 0) continue;
        const auto key = static_cast<std::int16_t>(code);
        ASSERT_EQ(g.press(key), Outcome::Ran) << "key down " << code;
        ASSERT_EQ(g.release(key), Outcome::Ran) << "key up " << code;
    }
    EXPECT_EQ(snapshot(g.view), before);
    EXPECT_EQ(g.platform.boxes.size(), boxes);
}

TEST_P(EveryKeyCode, KnownKeysActAsTheirHandlersSay) {
    Game g;
    enter(g, GetParam());
    const bool over = GetParam() == PlayState::Over;
    const std::string before = snapshot(g.view);

    // The arrows are held and let go; the thrust goes one step up and one down.
    g.press(kLeft);
    EXPECT_EQ(g.state.TurnKey(0), !over);
    g.release(kLeft);
    g.press(kRight);
    EXPECT_EQ(g.state.TurnKey(1), !over);
    g.release(kRight);
    g.press(kUp);
    EXPECT_EQ(g.state.Thrust, over ? 0.15_cur : 0.20_cur);
    g.press(kDown);
    g.press(kSpace);
    EXPECT_EQ(g.state.EngineOn, !over);
    g.release(kSpace);
    EXPECT_FALSE(g.state.EngineOn);
    EXPECT_EQ(snapshot(g.view), before);

    // P toggles between running and paused, and does nothing once the flight is over.
    const bool wasRunning = g.state.Timer1.Enabled;
    g.press(kP);
    EXPECT_EQ(g.state.Timer1.Enabled, over ? wasRunning : !wasRunning);
    EXPECT_EQ(g.state.lblPause.Visible, over ? false : wasRunning);

    // R brings every state back to Ready.
    g.press(kR);
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_FALSE(g.state.GameOver);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");
    EXPECT_TRUE(g.state.lblPause.Visible);
}

std::string stateName(const ::testing::TestParamInfo<PlayState>& info) {
    static const char* const kNames[] = {"Ready", "Running", "Paused", "Over"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(PlayStates, EveryKeyCode,
                         ::testing::Values(PlayState::Ready, PlayState::Running, PlayState::Paused,
                                           PlayState::Over),
                         stateName);

}  // namespace
}  // namespace vandrel::test
