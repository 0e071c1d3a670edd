// SPDX-License-Identifier: MIT
// Frames that repaint only what changed show exactly what a full repaint shows, tick after
// tick, over a flight that scrolls the terrain and the stars round past the window's edges,
// turns the hull, lands, and after R crashes. On X11 (the window checks run this file under
// Xvfb as well) no tick's frame is skipped: each is on the screen without being asked for. On
// Wayland (and under sway) the frames are those handed to the compositor, none before it
// asked for it.
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

class FramesTest : public GameWindowTest {
  protected:
    void SetUp() override {
        GameWindowTest::SetUp();
        if (shown().isNull()) GTEST_SKIP() << "the screen's pixels cannot be read here";
    }

    void TearDown() override {
        if (const WaylandCanvas* canvas = window.scene().waylandCanvas()) {
            EXPECT_GT(canvas->framesShown(), 600);
            EXPECT_EQ(canvas->framesUnasked(), 0) << "frames the compositor had not asked for";
        }
        GameWindowTest::TearDown();
    }

    // The scene's pixels as the screen has them, once the pending events are handled. Under
    // Wayland no client reads the screen: there it is the frame the compositor was handed last,
    // once it asked for the changes (sway's screenshots of it are the window checks').
    QImage shown() {
        QCoreApplication::processEvents();
        const SceneWidget& scene = window.scene();
        if (const WaylandCanvas* canvas = scene.waylandCanvas()) {
            // Asleep until the compositor's answer comes: a test that spun meanwhile would take
            // a core from the compositor, on a machine of two.
            QTimer deadline;
            deadline.setSingleShot(true);
            deadline.start(10'000);
            while (!scene.upToDate() && deadline.isActive())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (!scene.upToDate()) {
                failed = true;  // ends the flight: each frame would wait as long
                ADD_FAILURE() << "the compositor asked for no frame in 10 s";
            }
            return canvas->lastFrame();
        }
        return window.screen()
            ->grabWindow(window.winId(), scene.x(), scene.y(), scene.width(), scene.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // The same scene after a repaint of all of it: a palette change and back repaints all.
    QImage repaintedWhole() {
        SceneWidget& scene = window.scene();
        const QPalette palette = scene.palette();
        QPalette other = palette;
        other.setColor(QPalette::Button, QColor(1, 2, 3));
        scene.setPalette(other);
        QCoreApplication::processEvents();
        scene.setPalette(palette);
        return shown();
    }

    // Ticks `count` times, the clock's own ticks kept from the window so that only these ticks
    // run, and checks every frame; true when any star or ground line wrapped round meanwhile.
    bool flyAndCompare(int count) {
        WakeUps clockHeld;
        window.installEventFilter(&clockHeld);
        bool wrapped = false;
        for (int i = 0; i < count && !state.GameOver; ++i) {
            const float before = state.Ground(0).X1 + state.shpStar(0).Left;
            window.tick();
            wrapped = wrapped || std::abs(state.Ground(0).X1 + state.shpStar(0).Left - before) >
                                     state.ScaleWidth / 2;
            // Elsewhere frames follow the display: a change may wait for a later tick, or, on
            // Wayland, for the compositor.
            if (!everyTick && window.scene().waylandCanvas() == nullptr) window.scene().refresh();
            const QImage frame = shown();
            compare(frame, repaintedWhole(), i);
            if (failed) break;
        }
        window.removeEventFilter(&clockHeld);
        return wrapped;
    }

    // A frame that differs fails the test, naming the tick, and ends the flight.
    bool failed = false;
    void compare(const QImage& frame, const QImage& whole, int tick) {
        if (frame == whole) return;
        failed = true;
        int differ = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                differ += frame.pixel(x, y) != whole.pixel(x, y);
        ADD_FAILURE() << "tick " << tick << ": " << differ << " pixels differ from a full repaint";
    }

    const bool everyTick = QGuiApplication::platformName() == QLatin1String("xcb");
};

TEST_F(FramesTest, EveryFrameShowsWhatAFullRepaintShows) {
    // No gravity: the ship turned left and pushed sideways scrolls the scene for good.
    window.click("mnuGNone");
    window.keyDown(kP, 0);
    window.keyDown(kLeft, 0);
    EXPECT_FALSE(flyAndCompare(20));
    window.keyUp(kLeft, 0);
    window.keyDown(kSpace, 0);
    bool wrapped = flyAndCompare(150);
    window.keyUp(kSpace, 0);
    wrapped = flyAndCompare(450) || wrapped;
    EXPECT_TRUE(wrapped) << "the scene never wrapped round";
    ASSERT_FALSE(failed);

    // A new flight, and a level pad across the legs: the first tick lands, under its box.
    window.click("mnuGNormal");
    window.keyDown(kR, 0);
    compare(shown(), repaintedWhole(), 0);
    window.keyDown(kP, 0);
    Line& pad = state.Ground(7);
    pad.X1 = 4200;
    pad.Y1 = 3200;
    pad.X2 = 5760;
    pad.Y2 = 3200;
    {
        BoxAnswerer answerer(20);
        flyAndCompare(1);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    }
    EXPECT_TRUE(state.GameOver);
    window.keyDown(kR, 0);
    compare(shown(), repaintedWhole(), 0);

    // A fall under normal gravity, the engine firing now and then, to the crash.
    window.keyDown(kP, 0);
    BoxAnswerer answerer(20);
    for (int burst = 0; burst < 40 && !state.GameOver && !failed; ++burst) {
        window.keyDown(kSpace, 0);
        flyAndCompare(3);
        window.keyUp(kSpace, 0);
        flyAndCompare(12);
    }
    flyAndCompare(2000);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Crashed!");
    EXPECT_FALSE(failed);
}

}  // namespace
}  // namespace vandrel::qt::test
