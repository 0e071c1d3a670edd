// The 10 ms clock, and no tick of the game ever running under a modal box.
#include <chrono>
#include <thread>

#include <QElapsedTimer>
#include <QScreen>

#include "qt/tick_clock.h"
#include "tests/qt/game_window_fixture.h"
#include "tests/support/form1_probe.h"

namespace vandrel::qt::test {
namespace {

using namespace std::chrono_literals;

// Ticks delivered plus ticks dropped match the time passed: no drift, however loaded the
// machine is.
TEST(TickClock, KeepsItsPeriodAndStopsEntirely) {
    int ticks = 0;
    QElapsedTimer sinceStart;
    qint64 lastTickNs = 0;
    TickClock clock(10ms, [&] {
        ++ticks;
        lastTickNs = sinceStart.nsecsElapsed();
    });
    sinceStart.start();
    clock.setRunning(true);
    QTest::qWait(500);
    clock.setRunning(false);
    ASSERT_GT(ticks, 10);
    qint64 due = lastTickNs / 10'000'000;  // deadlines passed by the last tick
    std::uint64_t counted = static_cast<std::uint64_t>(ticks) + clock.dropped();
    EXPECT_GE(counted + 1, static_cast<std::uint64_t>(due));
    EXPECT_LE(counted, static_cast<std::uint64_t>(due) + 1);

    int stoppedAt = ticks;
    QTest::qWait(60);
    EXPECT_EQ(ticks, stoppedAt);
}

// Held up for 100 ms, the clock drops the ticks that fell due instead of catching up.
TEST(TickClock, LateTicksAreDroppedNotBurst) {
    std::vector<std::chrono::steady_clock::time_point> times;
    TickClock clock(10ms, [&times] {
        times.push_back(std::chrono::steady_clock::now());
        if (times.size() == 3) std::this_thread::sleep_for(100ms);
    });
    clock.setRunning(true);
    QTest::qWait(200);
    clock.setRunning(false);
    ASSERT_GT(times.size(), 8u);
    EXPECT_GE(clock.dropped(), 8u);
    // After the hold-up at most one tick is delivered at once; then the pace is back.
    for (std::size_t i = 4; i + 1 < times.size(); ++i) {
        EXPECT_GE(times[i + 1] - times[i], 5ms) << "tick " << i + 1 << " came in a burst";
    }
}

TEST_F(GameWindowTest, TicksRunOnlyWhileTimer1IsEnabled) {
    wait(50);
    EXPECT_EQ(dispatcher.ticks(), 0u);
    EXPECT_FALSE(window.clock().running());

    window.keyDown(kP, 0);
    wait(200);
    std::uint64_t running = dispatcher.ticks();
    EXPECT_GE(running, 5u);
    EXPECT_LE(running, 21u);

    window.keyDown(kP, 0);  // paused
    EXPECT_FALSE(window.clock().running());
    wait(50);
    EXPECT_EQ(dispatcher.ticks(), running);
}

// Painting only follows change: nothing while the game waits, and no more frames than the
// display shows.
TEST_F(GameWindowTest, RepaintsOnlyWhenTheSceneChanged) {
    wait(50);
    std::uint64_t idle = window.scene().frames();
    wait(100);
    EXPECT_EQ(window.scene().frames(), idle);

    QElapsedTimer running;
    running.start();
    window.keyDown(kP, 0);
    wait(200);
    std::uint64_t painted = window.scene().frames() - idle;
    EXPECT_GT(painted, 2u);
    // A display of 60 Hz shows a frame every 16.7 ms; the ticks come every 10 ms.
    ASSERT_LE(window.screen()->refreshRate(), 60.5);
    EXPECT_LE(painted, static_cast<std::uint64_t>(running.elapsed() / 15 + 2));
    EXPECT_LE(painted, dispatcher.ticks() + 1);
}

// A tick that ends the flight waits in its outcome box; ticks falling due meanwhile are
// dropped, so no second box opens and no burst of ticks follows.
TEST_F(GameWindowTest, OutcomeBoxHoldsBackEveryTick) {
    // A level pad across the legs: the first tick lands.
    Line& pad = Form1Probe::Ground(form, 7);
    pad.X1 = 4200;
    pad.Y1 = 3200;
    pad.X2 = 5760;
    pad.Y2 = 3200;
    std::uint64_t ticksInBox = 0;
    bool hullGreenInBox = false;
    BoxAnswerer answerer(150, [&] {
        ticksInBox = dispatcher.ticks();
        QImage frame = window.scene().grab().toImage().scaled(727, 503);
        hullGreenInBox = frame.pixel(352, 205) == qRgb(0, 255, 0);
    });
    window.keyDown(kP, 0);
    wait(300);

    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_EQ(answerer.seen()[0].text, "Great Sucsess!\nPress 'R' to reset");
    EXPECT_EQ(ticksInBox, 1u);
    EXPECT_TRUE(hullGreenInBox);
    EXPECT_TRUE(view.GameOver());
    // Later ticks run (and return at once) at the normal pace.
    EXPECT_LE(dispatcher.ticks(), 1u + 16u);
}

// The help box opened from the menu while the game runs freezes the flight under it.
TEST_F(GameWindowTest, HelpBoxFromTheMenuHoldsBackEveryTick) {
    window.keyDown(kP, 0);
    wait(50);
    std::uint64_t before = 0, inBox = 0;
    bool normalStillChecked = false;
    BoxAnswerer answerer(150, [&] {
        inBox = dispatcher.ticks();
        // Dropped, as a handler is running; Qt unchecks the action all the same.
        window.menus().action("mnuGNormal")->trigger();
        normalStillChecked = window.menus().action("mnuGNormal")->isChecked();
    });
    QTimer::singleShot(0, [&] {
        before = dispatcher.ticks();
        window.menus().action("mnuControls")->trigger();
    });
    wait(250);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Game Help");
    EXPECT_EQ(inBox, before);
    EXPECT_TRUE(view.Timer1().Enabled);
    EXPECT_GT(dispatcher.ticks(), before);  // the flight goes on after the box
    EXPECT_TRUE(normalStillChecked);
    EXPECT_EQ(view.Gravity(), 0.07_cur);
}

}  // namespace
}  // namespace vandrel::qt::test
