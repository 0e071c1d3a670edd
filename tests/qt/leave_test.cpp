// SPDX-License-Identifier: MIT
// The keyboard leaving the scene lets go of every key the game holds, and leaving the window
// pauses a running flight; the game's own menus and boxes do neither harm.
#include <memory>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

class LeaveTest : public GameWindowTest {
  protected:
    void SetUp() override {
        GameWindowTest::SetUp();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void send(QEvent::Type type, int key, bool repeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
        event.setTimestamp(++timestamp_);
        QApplication::sendEvent(&window.scene(), &event);
    }
    /// Holds the left arrow and the space bar as the player does, through the scene.
    void holdLeftAndSpace() {
        send(QEvent::KeyPress, Qt::Key_Left);
        send(QEvent::KeyPress, Qt::Key_Space);
        send(QEvent::KeyPress, Qt::Key_Left, true);
        ASSERT_TRUE(state.TurnKey(0));
        ASSERT_TRUE(state.EngineOn);
    }
    bool held() const { return state.TurnKey(0) || state.EngineOn; }
    void focusOut(Qt::FocusReason reason) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QApplication::sendEvent(&window.scene(), &event);
    }
    void deactivate() {
        QEvent event(QEvent::WindowDeactivate);
        QApplication::sendEvent(&window, &event);
    }
    bool paused() const {
        return !state.Timer1.Enabled && state.lblPause.Visible &&
               state.lblPause.Caption == "Paused";
    }
    /// A level pad across the legs: the next tick lands.
    void padUnderTheLegs() {
        Line& pad = state.Ground(7);
        pad.X1 = 4200, pad.X2 = 5760;
        pad.Y1 = pad.Y2 = 3200;
    }

  private:
    std::uint64_t timestamp_ = 1000;
};

// Whatever takes the keyboard, every held key is let go at once, and the window system's
// late release of one is not delivered a second time.
TEST_F(LeaveTest, EveryCauseLetsGoOfTheHeldKeysOnce) {
    const std::pair<const char*, std::function<void()>> causes[] = {
        {"another window", [&] { focusOut(Qt::ActiveWindowFocusReason); }},
        {"a popup", [&] { focusOut(Qt::PopupFocusReason); }},
        {"the menu bar", [&] { focusOut(Qt::MenuBarFocusReason); }},
        {"a widget", [&] { focusOut(Qt::OtherFocusReason); }},
        {"deactivation", [&] { deactivate(); }},
    };
    for (const auto& [what, leave] : causes) {
        holdLeftAndSpace();
        leave();
        EXPECT_FALSE(state.TurnKey(0)) << what;
        EXPECT_FALSE(state.EngineOn) << what;
        // The real releases come later; the game must not hear them again.
        state.EngineOn = true;
        send(QEvent::KeyRelease, Qt::Key_Space);
        send(QEvent::KeyRelease, Qt::Key_Left);
        wait(2 * KeyRepeatFilter::kReleaseGrace.count());
        EXPECT_TRUE(state.EngineOn) << what << ": released twice";
        state.EngineOn = false;
    }
    // A release held back to be told from a repeat is let go too, before the others.
    holdLeftAndSpace();
    send(QEvent::KeyRelease, Qt::Key_Left);
    focusOut(Qt::ActiveWindowFocusReason);
    EXPECT_FALSE(held());
}

TEST_F(LeaveTest, HidingTheWindowLetsGoAndPauses) {
    keyDown(kP, 0);
    holdLeftAndSpace();
    window.hide();
    EXPECT_FALSE(held());
    EXPECT_TRUE(paused());
    window.show();
    EXPECT_TRUE(paused());
}

// A real menu opened over the scene takes the keyboard and lets go of the keys, but the
// flight runs on under it, even if the window is deactivated while it is open.
TEST_F(LeaveTest, AMenuLetsGoOfTheKeysAndNeverPauses) {
    keyDown(kP, 0);
    holdLeftAndSpace();
    QMenu* options = window.menuBar()->actions()[1]->menu();
    options->popup(window.mapToGlobal(QPoint(60, 20)));
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    EXPECT_FALSE(held());
    deactivate();
    EXPECT_TRUE(state.Timer1.Enabled);
    const std::uint64_t ticks = dispatcher.ticks();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dispatcher.ticks() > ticks; }));
    options->close();
    EXPECT_TRUE(window.isActiveWindow());
    EXPECT_FALSE(paused());
}

// Leaving a running flight pauses it as P does, once: a second deactivation does not resume.
TEST_F(LeaveTest, LeavingARunningFlightPausesItAndOnlyP) {
    keyDown(kP, 0);
    ASSERT_TRUE(state.Timer1.Enabled);
    deactivate();
    EXPECT_TRUE(paused());
    deactivate();
    EXPECT_TRUE(paused());
    keyDown(kP, 0);
    EXPECT_TRUE(state.Timer1.Enabled);
    EXPECT_FALSE(state.lblPause.Visible);

    // Another window of the desktop really taking over.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(paused());
}

TEST_F(LeaveTest, LeavingDoesNothingInReadyPausedOrOver) {
    deactivate();  // Ready
    EXPECT_FALSE(state.Timer1.Enabled);
    EXPECT_EQ(state.lblPause.Caption, "Press 'P' to start");

    keyDown(kP, 0);
    keyDown(kP, 0);  // Paused
    deactivate();
    EXPECT_TRUE(paused());

    state.GameOver = true;  // Over
    keyDown(kP, 0);
    ASSERT_FALSE(state.Timer1.Enabled);
    state.Timer1.Enabled = true;
    deactivate();
    EXPECT_TRUE(state.Timer1.Enabled);
}

// The help box takes the keyboard inside its handler: the keys are let go once the handler
// has returned. Leaving the window while the box is up does not pause the flight either.
TEST_F(LeaveTest, TheHelpBoxLetsGoAfterItsHandlerAndNeverPauses) {
    keyDown(kP, 0);
    bool heldInBox = false;
    BoxAnswerer answerer(50, [&] {
        heldInBox = state.TurnKey(0);
        deactivate();
    });
    holdLeftAndSpace();
    menuAction("mnuControls")->trigger();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(heldInBox) << "a key-up reached the game while its handler ran";
    EXPECT_FALSE(held());
    EXPECT_TRUE(state.Timer1.Enabled);
    EXPECT_FALSE(state.lblPause.Visible);
}

// The outcome box opens inside the tick while the flight still runs: no P reaches the game,
// neither while it is up nor after it is answered.
TEST_F(LeaveTest, TheOutcomeBoxNeverPauses) {
    padUnderTheLegs();
    BoxAnswerer answerer(50, [&] { deactivate(); });
    keyDown(kP, 0);
    send(QEvent::KeyPress, Qt::Key_Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.GameOver; }, 3000));
    EXPECT_EQ(answerer.seen().at(0).title, "Landed!");
    deactivate();
    EXPECT_TRUE(state.Timer1.Enabled);
    EXPECT_FALSE(state.lblPause.Visible);
    EXPECT_FALSE(state.TurnKey(0));  // let go once the tick had returned
}

// The space bar held through a crash repeats into the outcome box: neither its repeats nor its
// release answer the box; a press of its own afterwards does.
TEST_F(LeaveTest, AKeyHeldThroughACrashDoesNotAnswerTheBox) {
    padUnderTheLegs();
    bool upAfterRelease = false, goneAfterPress = false;
    int step = 0;
    QTimer poll;
    // A step at a time, each once the box has had its keys.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWindow* handle = window.windowHandle();
        MessageBox* box = openBox();
        if (step == 0 && box != nullptr) {
            QTest::keyPress(handle, Qt::Key_Space);  // the X server's repeats are not flagged
            QTest::keyPress(handle, Qt::Key_Space);
            QTest::keyRelease(handle, Qt::Key_Space);
            ++step;
        } else if (step == 1) {
            upAfterRelease = box != nullptr;
            QTest::keyClick(handle, Qt::Key_Space);
            ++step;
        } else if (step == 2) {
            goneAfterPress = box == nullptr;
            if (box != nullptr) box->ok().click();
            ++step;
        }
    });
    poll.start(5);
    keyDown(kP, 0);
    send(QEvent::KeyPress, Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.GameOver && step == 3; }, 3000));
    EXPECT_TRUE(upAfterRelease);
    EXPECT_TRUE(goneAfterPress);
}

}  // namespace
}  // namespace vandrel::qt::test
