// SPDX-License-Identifier: MIT
// Frames that repaint only what changed show exactly what a full repaint shows, tick after
// tick, over a flight that scrolls the terrain and the stars round past the window's edges,
// turns the hull, lands, and after R crashes. On X11 (the window checks run this file under
// Xvfb as well) no tick's frame is skipped: each is on the screen without being asked for. On
// Wayland (and under sway) the frames are those handed to the compositor, none before it
// asked for it: the Wayland check runs it with libwayland's log of every request and event
// (WAYLAND_DEBUG=client), which the test reads.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

// The frames the scene's own surface hands the compositor, as libwayland logs the requests and
// events on standard error: how many, and how many the compositor had not asked for (no frame
// callback of the frame before answered, and none asked anew).
class WaylandLog {
  public:
    WaylandLog() {
        if (std::getenv("WAYLAND_DEBUG") == nullptr) return;
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int log = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        dup2(log, STDERR_FILENO);
        close(log);
    }
    ~WaylandLog() { restore(); }
    bool on() const { return saved_ >= 0; }

    struct Frames {
        int shown = 0, unasked = 0;
    };
    Frames frames() {
        restore();
        std::ifstream log(path_);
        std::string line, scene;
        std::smatch m;
        const std::regex subsurface(
            R"(get_subsurface\(new id wl_subsurface@\d+, wl_surface@(\d+),)");
        const std::regex request(R"( -> wl_surface@(\d+)\.(\w+)\((.*)\))");
        const std::regex frameCallback(R"(new id wl_callback@(\d+))");
        const std::regex done(R"( wl_callback@(\d+)\.done\()");
        Frames frames;
        std::string pending;  // the scene's frame callback not yet answered
        bool askedAnew = false, buffer = false;
        while (std::getline(log, line)) {
            if (scene.empty() && std::regex_search(line, m, subsurface)) scene = m[1];
            if (std::regex_search(line, m, done) && m[1] == pending) pending.clear();
            if (scene.empty() || !std::regex_search(line, m, request) || m[1] != scene) continue;
            const std::string name = m[2], arguments = m[3];
            if (name == "attach") buffer = arguments.rfind("nil", 0) != 0;
            if (name == "frame" && std::regex_search(arguments, m, frameCallback)) {
                pending = m[1];
                askedAnew = true;
            }
            if (name != "commit" || !buffer) continue;
            ++frames.shown;
            if (!askedAnew && !pending.empty()) ++frames.unasked;
            askedAnew = false;
        }
        return frames;
    }

  private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }

    std::string path_ = testing::TempDir() + "wayland-frames.log";
    int saved_ = -1;
};

class FramesTest : public GameWindowTest {
  protected:
    void SetUp() override {
        GameWindowTest::SetUp();
        if (shown().isNull()) GTEST_SKIP() << "the screen's pixels cannot be read here";
    }

    void TearDown() override {
        if (window.scene().waylandCanvas() != nullptr && log.on()) {
            const WaylandLog::Frames frames = log.frames();
            EXPECT_GT(frames.shown, 600);
            EXPECT_EQ(frames.unasked, 0) << "frames the compositor had not asked for";
        }
        GameWindowTest::TearDown();
    }

    WaylandLog log;

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
            tick();
            wrapped = wrapped || std::abs(state.Ground(0).X1 + state.shpStar(0).Left - before) >
                                     state.ScaleWidth / 2;
            // Elsewhere frames follow the display: a change may wait for a later tick, or, on
            // Wayland, for the compositor.
            if (!everyTick && window.scene().waylandCanvas() == nullptr)
                window.scene().changed(host::Pace::Now);
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
    click("mnuGNone");
    keyDown(kP, 0);
    keyDown(kLeft, 0);
    EXPECT_FALSE(flyAndCompare(20));
    keyUp(kLeft, 0);
    keyDown(kSpace, 0);
    bool wrapped = flyAndCompare(150);
    keyUp(kSpace, 0);
    wrapped = flyAndCompare(450) || wrapped;
    EXPECT_TRUE(wrapped) << "the scene never wrapped round";
    ASSERT_FALSE(failed);

    // A new flight, and a level pad across the legs: the first tick lands, under its box.
    click("mnuGNormal");
    keyDown(kR, 0);
    compare(shown(), repaintedWhole(), 0);
    keyDown(kP, 0);
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
    keyDown(kR, 0);
    compare(shown(), repaintedWhole(), 0);

    // A fall under normal gravity, the engine firing now and then, to the crash.
    keyDown(kP, 0);
    BoxAnswerer answerer(20);
    for (int burst = 0; burst < 40 && !state.GameOver && !failed; ++burst) {
        keyDown(kSpace, 0);
        flyAndCompare(3);
        keyUp(kSpace, 0);
        flyAndCompare(12);
    }
    flyAndCompare(2000);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Crashed!");
    EXPECT_FALSE(failed);
}

}  // namespace
}  // namespace vandrel::qt::test
