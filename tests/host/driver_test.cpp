// SPDX-License-Identifier: MIT
// The one driver on a toolkit that writes down what it is asked: which keys are the game's, a
// box's keys, the clock across a box, what a frame paints again and in what order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/driver.h"
#include "tests/host/recorded_toolkit.h"

namespace vandrel::host::test {
namespace {

using namespace vandrel::keys;

// The game's keys: everything with a code, but Tab, F10 and a key pressed with Ctrl or Meta;
// the release of such a key is the game's, so that a key held before Ctrl is let go.
TEST(KeyOwnership, TabF10AndShortcutsAreLeftToTheDesktop) {
    KeyEvent key;
    EXPECT_FALSE(isGameKey(key));  // no code
    for (std::int16_t code : {kP, kSpace, kLeft, kAlt, kShift, kEnter, kF1})
        EXPECT_TRUE(isGameKey({code})) << code;
    EXPECT_FALSE(isGameKey({kTab}));
    EXPECT_FALSE(isGameKey({kTab, false}));
    EXPECT_FALSE(isGameKey({static_cast<std::int16_t>(kF1 + 9)}));
    EXPECT_FALSE(isGameKey({kP, true, false, false, true}));                // Ctrl+P
    EXPECT_FALSE(isGameKey({kP, true, false, false, false, false, true}));  // Meta+P
    EXPECT_TRUE(isGameKey({kP, false, false, false, true}));  // P let go with Ctrl held
    EXPECT_EQ((KeyEvent{kP, true, false, true, true, true}).shiftState(), 7);
    // Letters by what they type; where they stand only on a layout without Latin letters.
    EXPECT_EQ(letterKey(U'p', 'R'), kP);
    EXPECT_EQ(letterKey(U'P', 0), kP);
    EXPECT_EQ(letterKey(U'\u0437', 'P'), kP);
    EXPECT_EQ(letterKey(U'1', 'P'), std::nullopt);
    EXPECT_EQ(letterKey(U'\u0437', 0), std::nullopt);

    Driven d;
    EXPECT_FALSE(d.key(kP, true, true));
    EXPECT_FALSE(d.state.Timer1.Enabled);  // Ctrl+P starts nothing
    EXPECT_TRUE(d.key(kP, true));
    EXPECT_TRUE(d.state.Timer1.Enabled);
}

// A key held when a box opens answers nothing until it has been let go; Enter, Escape and
// Space answer it going down, never by a repeat; a click always does.
TEST(BoxKeys, HeldKeysAndRepeatsNeverAnswer) {
    using K = BoxEvent::Kind;
    BoxKeys box({kSpace, kEnter});
    EXPECT_FALSE(box.answers({K::KeyDown, kSpace}));
    EXPECT_FALSE(box.answers({K::KeyDown, kEnter, true}));
    EXPECT_FALSE(box.answers({K::KeyUp, kSpace}));
    EXPECT_FALSE(box.answers({K::KeyDown, kSpace, true}));  // a repeat of a new press
    EXPECT_FALSE(box.answers({K::KeyDown, kP}));
    EXPECT_TRUE(box.answers({K::KeyDown, kSpace}));
    EXPECT_FALSE(box.answers({K::KeyDown, kEnter}));  // still held from before
    for (std::int16_t code : {kEnter, kEscape, kSpace})
        EXPECT_TRUE(BoxKeys({}).answers({K::KeyDown, code})) << code;
    EXPECT_TRUE(BoxKeys({kEnter}).answers({K::Clicked}));
    EXPECT_TRUE(BoxKeys({kEnter}).answers({K::Abandoned}));
}

// A box shows the scene as the handler left it, holds the clock, and the clock goes on with a
// fresh period once it is answered; the space bar held through the crash does not answer it.
TEST(DriverBoxes, TheClockStopsUnderABoxAndStartsAfresh) {
    using K = BoxEvent::Kind;
    Driven d;
    d.toolkit.boxEvents = {{K::KeyDown, kSpace}, {K::KeyUp, kSpace}, {K::KeyDown, kEscape}};
    d.state.Ground(7).Y1 = d.state.Ground(7).Y2 = 3200;  // a level pad across the legs
    d.press(kP);
    d.key(kSpace, true);
    ASSERT_TRUE(d.toolkit.clockRuns);
    const int starts = d.toolkit.clockStarts;
    d.toolkit.calls.clear();
    d.driver.tick();
    EXPECT_TRUE(d.state.GameOver);
    EXPECT_TRUE(d.toolkit.boxEvents.empty()) << "the held space bar answered the box";
    const std::vector<std::string> box = d.calls("box");
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0], "box Landed! clock off");
    EXPECT_EQ(d.calls("hide").size(), 1u);
    // Over: a tick changes nothing, and the clock does not run for it; it went on with a
    // fresh period once the box was answered, for as long as the handler ran.
    EXPECT_FALSE(d.toolkit.clockRuns);
    EXPECT_EQ(d.toolkit.clockStarts, starts + 1);

    // The help box, from a running flight: the clock starts again afterwards.
    d.press(kR);
    d.press(kP);
    const int running = d.toolkit.clockStarts;
    d.toolkit.boxEvents = {{K::Clicked}};
    d.driver.click("mnuControls");
    EXPECT_EQ(d.calls("box").back(), "box Game Help clock off");
    EXPECT_TRUE(d.toolkit.clockRuns);
    EXPECT_EQ(d.toolkit.clockStarts, running + 1);

    // Abandoned (the window closes under it): nothing more of the handler runs.
    d.driver.close();
    EXPECT_EQ(d.toolkit.status, 0);
    d.driver.click("mnuControls");
    EXPECT_EQ(d.calls("box").size(), 2u);
}

// An unhandled error shows its box, then the program ends with status 1.
TEST(DriverBoxes, ARunTimeErrorIsShownThenEnds) {
    Driven d;
    d.toolkit.boxEvents = {{BoxEvent::Kind::KeyDown, kEnter}};
    d.state.SpeedY = Currency::fromCount(INT64_MAX - 1);
    d.press(kP);
    d.driver.tick();
    EXPECT_EQ(d.calls("box"), std::vector<std::string>{"box Vandrel clock off"});
    EXPECT_EQ(d.toolkit.status, 1);
    EXPECT_FALSE(d.toolkit.clockRuns);
}

// A frame paints what changed and no more, in the one order: the background of each part, the
// stars and lines that reach into it, then each label that does as its ring, its face and its
// text; an event that changes nothing on the screen paints nothing.
TEST(DriverPaint, AFramePaintsWhatChangedInTheScenesOrder) {
    Driven d;
    d.toolkit.calls.clear();
    d.driver.scene().paintChanges(d.toolkit);
    const std::vector<std::string>& all = d.toolkit.calls;
    ASSERT_GE(all.size(), 40u);
    EXPECT_EQ(all.front(), "begin 1");
    EXPECT_EQ(all[1], "fill 0,0 727x503");
    EXPECT_EQ(all.back(), "end");
    // The stars, one pixel inside their boxes, come before the lines, the labels last.
    std::size_t firstOval = 0, firstLine = 0, firstText = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!firstOval && all[i].starts_with("oval")) firstOval = i;
        if (!firstLine && all[i].starts_with("line")) firstLine = i;
        if (!firstText && all[i].starts_with("text")) firstText = i;
    }
    EXPECT_LT(firstOval, firstLine);
    EXPECT_LT(firstLine, firstText);
    EXPECT_EQ(d.calls("oval").size(), 13u);
    EXPECT_EQ(d.calls("oval")[0], "oval 624,312 3x3");  // shpStar(12): 4 pixels wide
    EXPECT_EQ(d.calls("line").size(), 20u);  // the terrain in view and the hull, no flame
    // A readout: its border's ring, its face, its text; the prompt has no border.
    EXPECT_EQ(d.calls("text").size(), 5u);
    const auto fuel = std::find(all.begin(), all.end(), "text 4");
    ASSERT_NE(fuel, all.end());
    EXPECT_EQ(*(fuel - 2), "fill 8,8 81x17");
    EXPECT_EQ(*(fuel - 1), "fill 9,9 79x15");

    d.toolkit.calls.clear();
    d.driver.scene().paintChanges(d.toolkit);
    EXPECT_TRUE(d.toolkit.calls.empty());
    d.press(kP);
    d.press(kP);  // "Paused": the prompt alone
    EXPECT_FALSE(d.calls("changed").empty());
    d.toolkit.calls.clear();
    d.driver.scene().paintChanges(d.toolkit);
    EXPECT_EQ(d.calls("text"), std::vector<std::string>{"text 0"});
    EXPECT_TRUE(d.calls("oval").empty());
    d.toolkit.calls.clear();
    d.key(kShift, true);  // changes nothing
    EXPECT_TRUE(d.calls("changed").empty());
}

}  // namespace
}  // namespace vandrel::host::test
