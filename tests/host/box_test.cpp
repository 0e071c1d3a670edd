// SPDX-License-Identifier: MIT
// The boxes' place and prompt, and the keys a host holds for the game, as every host has them.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "host/box.h"
#include "host/held_keys.h"
#include "host/scene_state.h"
#include "tests/core/game.h"

namespace vandrel::host::test {
namespace {

constexpr Rect kScene{0, 0, vandrel::test::kClientWidthPixels, vandrel::test::kClientHeightPixels};

TEST(BoxPlace, CentredBelowWhatItKeepsInView) {
    const Rect keep{8, 8, 370, 215};  // the readouts down to the hull's reach
    const Rect box = boxPlace(240, 110, kScene, keep);
    EXPECT_EQ(box.width, 240);
    EXPECT_EQ(box.height, 110);
    EXPECT_NEAR(box.left + 120, 363, 1);
    EXPECT_GT(box.top, keep.bottom());
    EXPECT_LE(box.bottom(), 502);
    // In the middle of the part below.
    EXPECT_NEAR(box.top - (keep.bottom() + 12), 502 - box.bottom(), 2);
    // A box too tall for the room below still leaves the kept area in view.
    EXPECT_GT(boxPlace(240, 400, kScene, keep).top, keep.bottom());
}

// A box placed clear of what it keeps in view misses every label and the hull's pixels at
// every attitude, a step of the arrow keys apart, all round.
TEST(BoxPlace, MissesTheLabelsAndTheHullInEveryAttitude) {
    vandrel::test::Game game;
    const Rect box = boxPlace(240, 110, kScene, keptInView(game.view));
    for (SceneControl label : kLabels)
        EXPECT_FALSE(box.intersects(labelBox(game.view.label(label))));
    for (std::int16_t step = 0; step < 32; ++step) {
        game.state.Angle = 4.9_cur + 0.2_cur * step;
        vandrel::test::P::UpdateShip(game.form);
        for (const SceneState::LineLook& line : SceneState::capture(game.view).ship)
            EXPECT_FALSE(box.intersects(footprint(line))) << step;
    }
}

TEST(BoxPrompt, LineBreaksBecomeNewlines) {
    EXPECT_EQ(promptText("Great Sucsess!\r\nPress 'R' to reset"),
              "Great Sucsess!\nPress 'R' to reset");
    EXPECT_EQ(promptText("a\r\nb\r\n\rc\nd"), "a\nb\n\nc\nd");
    EXPECT_EQ(promptText("Programed by Tamsbrook"), "Programed by Tamsbrook");
}

TEST(HeldKeys, FirstPressesInOrderEachOnce) {
    HeldKeys keys;
    keys.pressed(37, 0);
    keys.pressed(32, 0);
    keys.pressed(37, 1);  // a repeat, now with Shift: it keeps its place
    keys.pressed(39, 0);
    EXPECT_FALSE(keys.released(38));
    std::vector<std::pair<int, int>> order;
    while (auto key = keys.first()) {
        order.push_back({key->code, key->shift});
        EXPECT_TRUE(keys.released(key->code));
    }
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{37, 1}, {32, 0}, {39, 0}}));
    EXPECT_FALSE(keys.held(37));
    EXPECT_FALSE(keys.released(37));
}

// Keys held, one of each code: any code, pressed and let go in any order, costs one look.
TEST(HeldKeys, EveryCodeOnce) {
    HeldKeys keys;
    for (int code = -32768; code <= 32767; ++code)
        keys.pressed(static_cast<std::int16_t>(code), 0);
    keys.pressed(0, 3);  // a repeat keeps its place
    EXPECT_EQ(keys.codes().size(), 65536u);
    EXPECT_EQ(keys.first()->code, -32768);
    for (int code = 32767; code >= -32767; code -= 2)
        EXPECT_TRUE(keys.released(static_cast<std::int16_t>(code)));
    const std::vector<std::int16_t> left = keys.codes();
    ASSERT_EQ(left.size(), 32768u);
    EXPECT_EQ(left[0], -32768);
    EXPECT_EQ(left[16384], 0);
    EXPECT_EQ(left.back(), 32766);
    EXPECT_TRUE(keys.held(0));
    EXPECT_FALSE(keys.held(1));
    while (auto key = keys.first())
        keys.released(key->code);
    EXPECT_TRUE(keys.codes().empty());
}

}  // namespace
}  // namespace vandrel::host::test
