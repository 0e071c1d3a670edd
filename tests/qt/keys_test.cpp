// SPDX-License-Identifier: MIT
// Keys: the virtual-key codes, and a held key under X11's auto-repeat reaching the game as
// key-downs only, with one key-up when it is really let go: at once where the X server grants
// detectable auto-repeat, after the pair filter's grace where it sends release+press pairs.
#include <memory>

#include <QKeyEvent>

#include "qt/key_codes.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

TEST(KeyCodes, LettersByKeyAndTheNamedKeys) {
    const std::pair<int, int> cases[] = {
        {Qt::Key_A, 65},        {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_9, 57},
        {Qt::Key_Space, 32},    {Qt::Key_Left, 37},   {Qt::Key_Up, 38},     {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},     {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},  {Qt::Key_Escape, 27},
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},     {Qt::Key_Backtab, 9}, {Qt::Key_Shift, 16},
        {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},    {Qt::Key_F1, 112},    {Qt::Key_F12, 123},
    };
    for (auto [qtKey, code] : cases)
        EXPECT_EQ(virtualKeyCode(qtKey), code) << "Qt key " << qtKey;
}

TEST(KeyCodes, OtherKeysOnlyWithANativeVirtualKey) {
    EXPECT_EQ(virtualKeyCode(Qt::Key_Home), std::nullopt);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F13), std::nullopt);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Home, 36), 36);
    EXPECT_EQ(virtualKeyCode(Qt::Key_unknown, 0x1000), std::nullopt);  // not a virtual key
}

TEST(KeyCodes, ShiftStateBits) {
    EXPECT_EQ(shiftState(Qt::NoModifier), 0);
    EXPECT_EQ(shiftState(Qt::ShiftModifier), 1);
    EXPECT_EQ(shiftState(Qt::ControlModifier), 2);
    EXPECT_EQ(shiftState(Qt::AltModifier), 4);
    EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier), 5);
}

// Qt events cannot be copied: each is made on the heap.
std::unique_ptr<QKeyEvent> keyEvent(QEvent::Type type, int key, std::uint64_t timestamp,
                                    bool flagged = false) {
    auto event = std::make_unique<QKeyEvent>(type, key, Qt::NoModifier, QString(), flagged);
    event->setTimestamp(timestamp);
    return event;
}

// Every key-down and key-up that reaches the game, as (code, true for down).
class RecordedKeys : public ::testing::Test {
  protected:
    explicit RecordedKeys(bool releasesAreReal = false)
        : filter(
              releasesAreReal,
              [this](std::int16_t c, std::int16_t) {
                  events.push_back({c, true});
              },
              [this](std::int16_t c, std::int16_t) {
                  events.push_back({c, false});
              }) {}

    KeyRepeatFilter filter;
    std::vector<std::pair<int, bool>> events;
};

class RecordedRealReleases : public RecordedKeys {
  protected:
    RecordedRealReleases() : RecordedKeys(true) {}
};

TEST_F(RecordedRealReleases, EveryReleaseIsDeliveredAtOnce) {
    using E = std::vector<std::pair<int, bool>>;
    // A held key: presses alone, then the real release.
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Space, 10));
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Space, 260));
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Space, 293));
    filter.release(*keyEvent(QEvent::KeyRelease, Qt::Key_Space, 300));
    EXPECT_EQ(events, (E{{32, true}, {32, true}, {32, true}, {32, false}}));
    // Even one with the timestamp of the press that follows.
    events.clear();
    filter.release(*keyEvent(QEvent::KeyRelease, Qt::Key_Left, 400));
    EXPECT_EQ(events, (E{{37, false}}));
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Left, 400));
    EXPECT_EQ(events, (E{{37, false}, {37, true}}));
}

// The server of the window tests under Xvfb grants it; no other platform has it.
TEST(DetectableAutoRepeat, GrantedByTheXServer) {
    EXPECT_EQ(requestDetectableAutoRepeat(), QGuiApplication::platformName() == "xcb");
}

TEST_F(RecordedKeys, HeldReleaseIsDeliveredBeforeAnyOtherKey) {
    filter.release(*keyEvent(QEvent::KeyRelease, Qt::Key_Left, 10));
    EXPECT_TRUE(events.empty());
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Right, 10));  // another key: a real release
    using E = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(events, (E{{37, false}, {39, true}}));

    // The same key pressed later than its release: two real events.
    events.clear();
    filter.release(*keyEvent(QEvent::KeyRelease, Qt::Key_Right, 20));
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Right, 21));
    EXPECT_EQ(events, (E{{39, false}, {39, true}}));

    // Flagged by Qt: the release is dropped, the press is one more key-down.
    events.clear();
    filter.release(*keyEvent(QEvent::KeyRelease, Qt::Key_Right, 30, true));
    filter.press(*keyEvent(QEvent::KeyPress, Qt::Key_Right, 30, true));
    EXPECT_EQ(events, (E{{39, true}}));
}

// The space bar held under X11: press, unflagged release+press pairs, then the real release.
TEST_F(GameWindowTest, HeldSpaceBarNeverClearsTheEngine) {
    SceneWidget& scene = window.scene();
    auto send = [&scene](QEvent::Type type, std::uint64_t timestamp) {
        QApplication::sendEvent(&scene, keyEvent(type, Qt::Key_Space, timestamp).get());
    };
    window.keyDown(kP, 0);  // running, so that ticks show or hide the flame
    send(QEvent::KeyPress, 1000);
    EXPECT_TRUE(state.EngineOn);
    for (std::uint64_t t = 1500; t < 1800; t += 33) {
        // A tick runs between the repeats and shows the flame.
        ASSERT_TRUE(QTest::qWaitFor([this] { return state.Fire.Visible; }, 2000));
        send(QEvent::KeyRelease, t);
        EXPECT_TRUE(state.EngineOn) << "a repeat's release reached the game";
        EXPECT_TRUE(state.Fire.Visible);
        send(QEvent::KeyPress, t);
        EXPECT_TRUE(state.EngineOn);
    }
    send(QEvent::KeyRelease, 1900);
    // The real release reaches the game once its grace has passed.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !state.EngineOn; }, 2000));
    EXPECT_FALSE(state.Fire.Visible);
}

// The space bar held where the X server sends repeats as presses alone: the release reaches
// the game at once. (Elsewhere the release comes after its grace.)
TEST_F(GameWindowTest, HeldSpaceBarUnderDetectableAutoRepeat) {
    const bool granted = QGuiApplication::platformName() == "xcb";
    SceneWidget& scene = window.scene();
    auto send = [&scene](QEvent::Type type, std::uint64_t timestamp) {
        QApplication::sendEvent(&scene, keyEvent(type, Qt::Key_Space, timestamp).get());
    };
    window.keyDown(kP, 0);
    for (std::uint64_t t = 1000; t < 1300; t += 33) {
        send(QEvent::KeyPress, t);
        ASSERT_TRUE(QTest::qWaitFor([this] { return state.Fire.Visible; }, 2000));
        EXPECT_TRUE(state.EngineOn);
    }
    send(QEvent::KeyRelease, 1300);
    if (granted) {
        EXPECT_FALSE(state.EngineOn);
    }
    // The next tick hides the flame.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !state.Fire.Visible; }, 2000));
}

// Arrows, Tab and space reach the game through the window and never move the focus.
TEST_F(GameWindowTest, KeysGoToTheSceneWhateverTheKey) {
    QWindow* handle = window.windowHandle();
    EXPECT_TRUE(window.scene().hasFocus());
    QTest::keyClick(handle, Qt::Key_Tab);
    QTest::keyClick(handle, Qt::Key_Up);
    QTest::keyClick(handle, Qt::Key_P, Qt::ShiftModifier);
    wait(20);
    EXPECT_TRUE(window.scene().hasFocus());
    EXPECT_EQ(state.Thrust, 0.2_cur);
    EXPECT_TRUE(state.Timer1.Enabled);  // Shift+P starts the game as P does
}

}  // namespace
}  // namespace vandrel::qt::test
