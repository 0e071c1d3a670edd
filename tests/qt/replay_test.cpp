// SPDX-License-Identifier: MIT
// Recordings in the window: the keys the window gives the game itself are recorded; a replay
// plays the script's events at their ticks, holds the player's keys and the Options menu
// back, pauses on P and where play would pause, and gives the player the game when it ends.
#include <QFocusEvent>
#include <QKeyEvent>

#include "shell/script/recorder.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

using host::ReplayScript;

TEST_F(GameWindowTest, TheKeysTheWindowGivesWhenItIsLeftAreRecorded) {
    StringSink sink;
    Recorder recorder(sink, {});
    dispatcher.observe(&recorder);
    keyDown(kP, 0);
    keyUp(kP, 0);
    keyDown(kSpace, 0);
    keyDown(kSpace, 0);  // a repeat
    tick();
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&window, &deactivate);
    dispatcher.observe(nullptr);
    EXPECT_EQ(sink.text,
              "# Vandrel 1.00 recording\ndown 80\nup 80\ndown 32\ndown 32\ntick 1\n"
              "up 32\ndown 80\nup 80\n");
}

TEST_F(GameWindowTest, AReplayPlaysItsScriptAndHoldsThePlayersKeysUntilItEnds) {
    window.driver().replay(ReplayScript::of("down 80\ntick 3\ndown 32\ntick 2\nup 32\n"));
    const host::Replay& replay = *window.driver().replaying();
    EXPECT_TRUE(wakesForTicks(2000));  // the replay's own clock, in the Ready state
    // The player's game keys and the Options menu reach nothing.
    keyDown(kSpace, 0);
    keyUp(kSpace, 0);
    keyDown(kR, 0);
    click("mnuGHigh");
    EXPECT_TRUE(view.menuItem("mnuGNormal")->Checked);
    EXPECT_FALSE(view.menuItem("mnuGHigh")->Checked);

    tick();  // P, then the first tick
    EXPECT_EQ(dispatcher.ticks(), 1u);
    EXPECT_FALSE(state.EngineOn);
    // P pauses the replay, not the game; its repeats do not resume it. The player's keys
    // come through the scene, as the window system sends them.
    std::uint64_t timestamp = 1000;
    const auto send = [&](QEvent::Type type, bool repeat = false) {
        QKeyEvent event(type, Qt::Key_P, Qt::NoModifier, QString(), repeat);
        event.setTimestamp(++timestamp);
        QApplication::sendEvent(&window.scene(), &event);
    };
    send(QEvent::KeyPress);
    send(QEvent::KeyPress, true);
    EXPECT_TRUE(replay.paused());
    EXPECT_FALSE(wakesForTicks(50));
    EXPECT_TRUE(state.Timer1.Enabled);
    send(QEvent::KeyRelease);
    send(QEvent::KeyPress);
    send(QEvent::KeyRelease);
    EXPECT_FALSE(replay.paused());
    EXPECT_TRUE(wakesForTicks(2000));

    tick();
    tick();  // the third tick of the first run: space goes down after it
    EXPECT_EQ(dispatcher.ticks(), 3u);
    EXPECT_TRUE(state.EngineOn);
    tick();
    tick();  // the last tick, then the script's last line
    EXPECT_EQ(dispatcher.ticks(), 5u);
    EXPECT_FALSE(state.EngineOn);
    EXPECT_TRUE(replay.finished());

    // Leaving the window pauses the replay where play would pause, and no key of the
    // window's own (the held keys' releases, the pause) reaches the game.
    {
        window.driver().replay(ReplayScript::of("down 32\ntick 100\n"));
        const host::Replay& more = *window.driver().replaying();
        tick();
        EXPECT_TRUE(state.EngineOn);
        QEvent deactivate(QEvent::WindowDeactivate);
        QApplication::sendEvent(&window, &deactivate);
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(&window.scene(), &focusOut);
        EXPECT_TRUE(more.paused());
        EXPECT_TRUE(state.EngineOn);
        EXPECT_TRUE(state.Timer1.Enabled);
        EXPECT_EQ(dispatcher.ticks(), 6u);
        window.driver().replay({});  // ended by the player
    }
    keyUp(kSpace, 0);

    // The flight goes on, the player's again.
    keyDown(kSpace, 0);
    EXPECT_TRUE(state.EngineOn);
    tick();
    EXPECT_EQ(dispatcher.ticks(), 7u);
}

}  // namespace
}  // namespace vandrel::qt::test
