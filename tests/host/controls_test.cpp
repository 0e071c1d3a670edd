// SPDX-License-Identifier: MIT
// The keys of the on-screen controls and of gamepads: which key each holds, their repeats,
// several at once, a finger sliding off, a pad unplugged with a button down, and a box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/controls.h"

namespace vandrel::host::test {
namespace {

using namespace vandrel::keys;
using Changes = std::vector<HeldControls::Change>;

// The changes as text: "+37" a key-down, "-37" a key-up.
std::string text(const Changes& changes) {
    std::string out;
    for (const HeldControls::Change& c : changes)
        out += (out.empty() ? "" : " ") + std::string(c.down ? "+" : "-") + std::to_string(c.key);
    return out;
}

constexpr std::uint32_t button(int b) {
    return std::uint32_t{1} << b;
}

TEST(Controls, EachStandsForItsKeyAndSaysWhichItIs) {
    const std::int16_t wanted[] = {kLeft, kRight, kUp, kP, kDown, kR, kSpace};
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        EXPECT_EQ(kControls[i].key, wanted[i]) << i;
        EXPECT_NE(std::string(kControls[i].name).find('('), std::string::npos) << i;
    }
    EXPECT_EQ(kControls[3].face, "P");
    EXPECT_EQ(kControls[6].name, "Engine (Space)");
}

TEST(Controls, HeldTheyRepeatAsAKeyDoesAndSeveralHoldAtOnce) {
    HeldControls held;
    EXPECT_EQ(text(held.control(6, true, 0)), "+32");    // the engine
    EXPECT_EQ(text(held.control(0, true, 100)), "+37");  // a second finger turns
    EXPECT_EQ(held.nextRepeat(), HeldControls::kRepeatDelayMs);
    EXPECT_EQ(text(held.repeats(499)), "");
    EXPECT_EQ(text(held.repeats(500)), "+32");
    EXPECT_EQ(text(held.repeats(600)), "+32 +37");
    EXPECT_EQ(held.nextRepeat(), 600 + HeldControls::kRepeatIntervalMs);
    // A finger sliding off, or a cancel, lets go as a lift does; a release twice, once.
    EXPECT_EQ(text(held.control(0, false, 610)), "-37");
    EXPECT_EQ(text(held.control(0, false, 620)), "");
    EXPECT_EQ(text(held.control(6, false, 630)), "-32");
    EXPECT_EQ(held.nextRepeat(), std::nullopt);
    // The keyboard leaving lets the game's keys go: a control still down neither repeats nor
    // goes up again.
    held.control(2, true, 1000);
    held.forget();
    EXPECT_EQ(text(held.repeats(5000)), "");
    EXPECT_EQ(text(held.control(2, false, 5000)), "");
}

TEST(Pads, TheStandardLayoutTurnsFiresStepsStartsAndResets) {
    HeldControls held;
    EXPECT_EQ(text(held.pad(0, {button(14)}, 0)), "+37");       // d-pad left
    EXPECT_EQ(text(held.pad(0, {0, -0.2}, 10)), "-37");         // a stick at rest turns nothing
    EXPECT_EQ(text(held.pad(0, {0, 0.9}, 20)), "+39");          // the stick pushed right
    EXPECT_EQ(text(held.pad(0, {button(7), 0.9}, 30)), "+32");  // the right trigger
    // A with the trigger: the engine stays on until both let go.
    EXPECT_EQ(text(held.pad(0, {button(0) | button(7), 0}, 40)), "-39");
    EXPECT_EQ(text(held.pad(0, {button(0), 0}, 50)), "");
    EXPECT_EQ(text(held.pad(0, {button(5), 0}, 60)), "-32 +38");    // a shoulder steps up
    EXPECT_EQ(text(held.repeats(560)), "+38");                      // and repeats
    EXPECT_EQ(text(held.pad(0, {button(13), 0}, 570)), "-38 +40");  // the d-pad steps down
    EXPECT_EQ(text(held.pad(0, {button(9), 0}, 580)), "-40 +80");   // Start is P,
    EXPECT_EQ(text(held.repeats(5000)), "");                        // once a press
    EXPECT_EQ(text(held.pad(0, {button(8), 0}, 590)), "-80 +82");   // Back is R
    // Another pad holds keys of its own; unplugged, it lets them go.
    EXPECT_EQ(text(held.pad(1, {button(0), 0}, 600)), "+32");
    EXPECT_EQ(text(held.padGone(1, 610)), "-32");
    EXPECT_EQ(text(held.padGone(0, 620)), "-82");
}

// A or Start pressed anew answers a box; A held as the engine through a crash does not, and
// the press that answers is not the game's afterwards.
TEST(Pads, APressAnswersABoxAButtonHeldBeforeDoesNot) {
    HeldControls held;
    held.pad(0, {button(0), 0}, 0);
    held.forget();  // the box takes the keyboard
    EXPECT_FALSE(held.answersBox(0, {button(0), 0}));
    EXPECT_FALSE(held.answersBox(0, {0, 0}));
    EXPECT_TRUE(held.answersBox(0, {button(0), 0}));
    EXPECT_EQ(text(held.pad(0, {button(0), 0}, 10)), "");
    EXPECT_TRUE(held.answersBox(0, {button(9), 0}));
    EXPECT_FALSE(held.answersBox(0, {button(12), 0}));
}

}  // namespace
}  // namespace vandrel::host::test
