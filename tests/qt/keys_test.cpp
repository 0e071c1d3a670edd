// Keys: the virtual-key codes, and a held key under X11's auto-repeat reaching the game as
// key-downs only, with one key-up when it is really let go.
#include <memory>

#include <QKeyEvent>

#include "qt/key_codes.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

TEST(KeyCodes, LettersByKeyAndTheNamedKeys) {
    EXPECT_EQ(virtualKeyCode(Qt::Key_P), 80);  // also with Shift: Qt names the key, not 'p'
    EXPECT_EQ(virtualKeyCode(Qt::Key_R), 82);
    EXPECT_EQ(virtualKeyCode(Qt::Key_A), 65);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Z), 90);
    EXPECT_EQ(virtualKeyCode(Qt::Key_0), 48);
    EXPECT_EQ(virtualKeyCode(Qt::Key_9), 57);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Space), 32);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Left), 37);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Up), 38);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Right), 39);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Down), 40);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Return), 13);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Enter), 13);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Escape), 27);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Backspace), 8);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Tab), 9);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Backtab), 9);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Shift), 16);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Control), 17);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Alt), 18);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F1), 112);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F12), 123);
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
    KeyRepeatFilter filter{[this](std::int16_t c, std::int16_t) {
                               events.push_back({c, true});
                           },
                           [this](std::int16_t c, std::int16_t) {
                               events.push_back({c, false});
                           }};
    std::vector<std::pair<int, bool>> events;
};

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
    EXPECT_TRUE(view.EngineOn());
    for (std::uint64_t t = 1500; t < 1800; t += 33) {
        // A tick runs between the repeats and shows the flame.
        ASSERT_TRUE(QTest::qWaitFor([this] { return view.Fire().Visible; }, 2000));
        send(QEvent::KeyRelease, t);
        EXPECT_TRUE(view.EngineOn()) << "a repeat's release reached the game";
        EXPECT_TRUE(view.Fire().Visible);
        send(QEvent::KeyPress, t);
        EXPECT_TRUE(view.EngineOn());
    }
    send(QEvent::KeyRelease, 1900);
    wait(20);
    EXPECT_FALSE(view.EngineOn());
    EXPECT_FALSE(view.Fire().Visible);
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
    EXPECT_EQ(view.Thrust(), 0.2_cur);
    EXPECT_TRUE(view.Timer1().Enabled);  // Shift+P starts the game as P does
}

}  // namespace
}  // namespace vandrel::qt::test
