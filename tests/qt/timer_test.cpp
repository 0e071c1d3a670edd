// The 10 ms clock, and no tick of the game ever running under a modal box.
#include <chrono>

#include <QElapsedTimer>
#include <QScreen>

#include "qt/tick_clock.h"
#include "qt/tick_schedule.h"
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

// The schedule on its own, on made-up times: no drift, no burst after a stall.
TEST(TickSchedule, LateTicksAreDroppedNotBurst) {
    TickSchedule schedule(10ms);
    schedule.start(0ms);
    EXPECT_EQ(schedule.wait(0ms), 10ms);

    // A timer that fires a little late costs nothing: the next deadline stays on the grid.
    schedule.fire(13ms);
    EXPECT_EQ(schedule.dropped(), 0u);
    EXPECT_EQ(schedule.wait(13ms), 7ms);

    // Held up until 57 ms: the deadlines of 20, 30 and 40 ms are dropped, the one of 50 ms is
    // delivered now, and the next comes at 60 ms, not at once.
    schedule.fire(57ms);
    EXPECT_EQ(schedule.dropped(), 3u);
    EXPECT_EQ(schedule.wait(57ms), 3ms);

    // Late by less than a period: delivered, and the one after follows without a wait.
    schedule.fire(69ms);
    EXPECT_EQ(schedule.dropped(), 3u);
    EXPECT_EQ(schedule.wait(69ms), 1ms);
    EXPECT_EQ(schedule.wait(71ms), 0ms);

    // A wait never ends early: part of a millisecond counts as a whole one.
    schedule.start(std::chrono::nanoseconds(100'400'000));
    EXPECT_EQ(schedule.wait(100ms), 11ms);
}

TEST_F(GameWindowTest, TicksRunOnlyWhileTimer1IsEnabled) {
    wait(50);
    EXPECT_EQ(dispatcher.ticks(), 0u);
    EXPECT_FALSE(window.clock().running());

    QElapsedTimer sinceP;
    sinceP.start();
    window.keyDown(kP, 0);
    // However busy the machine, the ticks come, and never faster than one each 10 ms.
    ASSERT_TRUE(QTest::qWaitFor([this] { return dispatcher.ticks() >= 5; }, 5000));
    std::uint64_t running = dispatcher.ticks();
    EXPECT_LE(running, static_cast<std::uint64_t>(sinceP.elapsed() / 10 + 1));

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.scene().frames() - idle > 2; }, 5000));
    std::uint64_t painted = window.scene().frames() - idle;
    // A display of 60 Hz shows a frame every 16.7 ms; the ticks come every 10 ms.
    ASSERT_LE(window.screen()->refreshRate(), 60.5);
    EXPECT_LE(painted, static_cast<std::uint64_t>(running.elapsed() / 15 + 2));
    EXPECT_LE(painted, dispatcher.ticks() + 1);
}

// A held key repeats faster than the ticks come; a repeat changes nothing on the screen, so it
// never brings the ticks' changes out sooner than the display's pace.
TEST_F(GameWindowTest, KeyRepeatsPaintNoFramesOfTheirOwn) {
    window.keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dispatcher.ticks() > 2; }, 5000));
    QTimer repeats;
    QObject::connect(&repeats, &QTimer::timeout, [&] { window.keyDown(kSpace, 0); });
    repeats.start(3);
    std::uint64_t before = window.scene().frames();
    QElapsedTimer held;
    held.start();
    wait(400);
    repeats.stop();
    EXPECT_TRUE(view.Fire().Visible);
    EXPECT_LE(window.scene().frames() - before,
              static_cast<std::uint64_t>(held.elapsed() / 15 + 2));
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
