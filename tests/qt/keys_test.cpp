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

// A letter by what it types, or where it stands on a layout without Latin letters (the X key
// code of P's place is 33); the modifiers held as they are.
TEST(KeyCodes, KeyEventsCarryTheirLetterAndModifiers) {
    const QKeyEvent shiftP(QEvent::KeyPress, Qt::Key_P, Qt::ShiftModifier, 33, 0, 0, "P");
    const host::KeyEvent p = keyEventOf(shiftP);
    EXPECT_EQ(p.code, 80);
    EXPECT_TRUE(p.down && p.shift && !p.ctrl && !p.alt && !p.meta);
    EXPECT_EQ(p.shiftState(), 1);
    const QKeyEvent cyrillic(QEvent::KeyRelease, 0x0437, Qt::ControlModifier | Qt::MetaModifier, 33,
                             0, 0, QString(QChar(0x0437)));
    const host::KeyEvent z = keyEventOf(cyrillic);
    EXPECT_EQ(z.code, 80);
    EXPECT_TRUE(!z.down && z.ctrl && z.meta && !z.shift);
    // A German layout's Z, where the usual layout has Y: by what it types.
    EXPECT_EQ(
        keyEventOf(QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 29, 0, 0, "z")).code, 90);
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
        : filter(releasesAreReal, [this](const host::KeyEvent& key) {
              events.push_back({*key.code, key.down});
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
    keyDown(kP, 0);  // running, so that ticks show or hide the flame
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
    keyDown(kP, 0);
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

// Arrows and space reach the game through the window; none of them, nor Tab, which is not the
// game's, moves the focus away from the only control that takes it.
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
