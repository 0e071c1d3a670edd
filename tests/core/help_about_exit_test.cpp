// SPDX-License-Identifier: MIT
// Help, About and Exit, and which events the dispatcher delivers around them.
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

TEST(HelpAboutExit, HelpShowsTheKeyListExactly) {
    Game g;
    EXPECT_EQ(g.d.click("mnuControls"), Outcome::Ran);
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].prompt,
              "Controls:\r\n"
              "Up and down arrowkeys - Adjust thrust\r\n"
              "right and left arowkeys - rotate\r\n"
              "P key - Pause/Start game\r\n"
              "R key - Reset game\r\n");
    EXPECT_EQ(g.platform.boxes[0].buttons, 0);
    EXPECT_EQ(g.platform.boxes[0].title, "Game Help");
}

TEST(HelpAboutExit, AboutShowsTheAuthorLine) {
    Game g;
    EXPECT_EQ(g.d.click("mnuABout"), Outcome::Ran);
    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].prompt, "Programed by Tamsbrook");
    EXPECT_EQ(g.platform.boxes[0].buttons, 0);
    EXPECT_EQ(g.platform.boxes[0].title, "About");
}

TEST(HelpAboutExit, HelpAndAboutDuringAFlightChangeNothing) {
    Game g;
    g.press(kP);
    g.press(kSpace);
    g.press(kLeft);
    g.ticks(3);
    Outcome tick = Outcome::Ran;
    g.platform.whileOpen = [&] { tick = g.d.tick(); };
    const std::string before = snapshot(g.view);
    g.d.click("mnuControls");
    g.d.click("mnuABout");
    EXPECT_EQ(snapshot(g.view), before);
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_EQ(tick, Outcome::Dropped);  // the timer does not tick under the box
    EXPECT_EQ(g.d.ticks(), 3u);
    EXPECT_EQ(g.d.tick(), Outcome::Ran);  // and the flight goes on afterwards
}

TEST(HelpAboutExit, ExitEndsTheProgramAtOnce) {
    for (int presses : {0, 1, 2}) {  // ready, running, paused
        Game g;
        for (int k = 0; k < presses; ++k)
            g.press(kP);
        const std::string before = snapshot(g.view);
        EXPECT_EQ(g.d.click("mnuExit"), Outcome::Ended);
        EXPECT_TRUE(g.d.stopped());
        EXPECT_EQ(g.d.error(), "");
        EXPECT_EQ(snapshot(g.view), before);
        EXPECT_EQ(g.d.tick(), Outcome::Dropped);
        EXPECT_EQ(g.press(kP), Outcome::Dropped);
        EXPECT_EQ(g.d.click("mnuReset"), Outcome::Dropped);
        EXPECT_TRUE(g.platform.boxes.empty());
    }
}

TEST(HelpAboutExit, OnlyItemsWithAHandlerCanBeChosen) {
    // Every item that opens no submenu has a handler; the submenu headers have none.
    Game g;
    int handlers = 0;
    for (const MenuItem* item : g.view.menuItems()) {
        const bool header = !item->Children.empty();
        EXPECT_EQ(Form1::clickHandlerFor(item->Name) == nullptr, header) << item->Name;
        if (header) {
            EXPECT_EQ(g.d.click(item->Name), Outcome::Dropped) << item->Name;
        }
        handlers += header ? 0 : 1;
    }
    EXPECT_EQ(handlers, 15);
    EXPECT_EQ(g.d.click("nothing"), Outcome::Dropped);
    EXPECT_EQ(Form1::clickHandlerFor("nothing"), nullptr);
    EXPECT_FALSE(g.d.stopped());
}

}  // namespace
}  // namespace vandrel::test
