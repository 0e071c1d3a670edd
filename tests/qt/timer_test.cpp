// SPDX-License-Identifier: MIT
// The 10 ms clock, and no tick of the game ever running under a modal box.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include <QElapsedTimer>
#include <QScreen>

#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

// Sees each tick the clock raises, just before it runs.
struct TickWatch : EventObserver {
    explicit TickWatch(std::function<void()> onTick) : onTick_(std::move(onTick)) {}
    void keyDown(std::int16_t) override {}
    void keyUp(std::int16_t) override {}
    void click(std::string_view) override {}
    void tick() override { onTick_(); }
    std::function<void()> onTick_;
};

// Wants the clock and takes its ticks, as a replay does.
struct TickingGate : host::PlayerGate {
    bool takesKey(std::int16_t, bool) override { return false; }
    bool takesClick(std::string_view) override { return false; }
    bool takesTick() override { return ++ticks, true; }
    bool wantsTicks() const override { return true; }
    void playerLeft() override {}
    int ticks = 0;
};

// Never faster than the period, however late a tick ran: a stall drops the ticks that fell
// due meanwhile, and the clock goes on at its pace instead of catching up in a burst.
TEST_F(GameWindowTest, TheClockKeepsItsPeriodDropsLateTicksAndStopsEntirely) {
    std::vector<qint64> at;  // ms since the start of each tick
    QElapsedTimer sinceStart;
    TickWatch watch([&] {
        at.push_back(sinceStart.elapsed());
        if (at.size() == 3) QTest::qSleep(55);  // the event loop is held up
    });
    dispatcher.observe(&watch);
    sinceStart.start();
    keyDown(kP, 0);
    QTest::qWait(300);
    keyDown(kP, 0);  // paused: the clock stops
    EXPECT_FALSE(wakesForTicks(20));
    ASSERT_GT(at.size(), 5u);
    EXPECT_GE(at[0], 9);  // a fresh period: no tick at once
    // The stalled tick ends at 3 periods + 55 ms at the earliest: one tick late, no more.
    const qint64 stallEnd = at[2] + 55;
    const auto soonAfter =
        std::count_if(at.begin() + 3, at.end(), [&](qint64 t) { return t < stallEnd + 9; });
    EXPECT_LE(soonAfter, 1);
    EXPECT_LE(static_cast<qint64>(at.size()), at.back() / 10 - 4 + 1) << "a burst caught up";

    const std::size_t stoppedAt = at.size();
    QTest::qWait(60);
    EXPECT_EQ(at.size(), stoppedAt);
    dispatcher.observe(nullptr);
}

TEST_F(GameWindowTest, HeldUnderABoxTheClockDoesNotWakeAndGoesOnWithAFreshPeriod) {
    TickingGate gate;
    bool wokeInBox = true;
    int ticksInBox = -1;
    BoxAnswerer answerer(20, [&] {
        player.setGate(&gate);  // the clock is wanted under the box
        wokeInBox = wakesForTicks(40);
        ticksInBox = gate.ticks;
    });
    click("mnuControls");
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_FALSE(wokeInBox);
    EXPECT_EQ(ticksInBox, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return gate.ticks > 0; }, 2000));
    player.setGate(nullptr);
}

// Waiting costs nothing: the process does not wake for ticks in Ready, Paused, Over or
// under a box (see the box tests below).
TEST_F(GameWindowTest, TicksRunOnlyWhileTimer1IsEnabled) {
    wait(50);
    EXPECT_EQ(dispatcher.ticks(), 0u);
    EXPECT_FALSE(wakesForTicks(50));

    QElapsedTimer sinceP;
    sinceP.start();
    keyDown(kP, 0);
    // However busy the machine, the ticks come, and never faster than one each 10 ms.
    ASSERT_TRUE(QTest::qWaitFor([this] { return dispatcher.ticks() >= 5; }, 5000));
    std::uint64_t running = dispatcher.ticks();
    EXPECT_LE(running, static_cast<std::uint64_t>(sinceP.elapsed() / 10 + 1));

    keyDown(kP, 0);  // paused
    EXPECT_FALSE(wakesForTicks(50));
    wait(50);
    EXPECT_EQ(dispatcher.ticks(), running);
}

// Painting only follows change: nothing while the game waits, and no more frames than the
// display shows.
TEST_F(GameWindowTest, RepaintsOnlyWhenTheSceneChanged) {
    PaintCounter counter(window.scene());
    wait(50);
    std::uint64_t idle = counter.frames();
    wait(100);
    EXPECT_EQ(counter.frames(), idle);

    QElapsedTimer running;
    running.start();
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.frames() - idle > 2; }, 5000));
    std::uint64_t painted = counter.frames() - idle;
    // A display of 60 Hz shows a frame every 16.7 ms; the ticks come every 10 ms.
    ASSERT_LE(window.screen()->refreshRate(), 60.5);
    EXPECT_LE(painted, static_cast<std::uint64_t>(running.elapsed() / 15 + 2));
    EXPECT_LE(painted, dispatcher.ticks() + 1);
}

// A held key repeats faster than the ticks come; a repeat changes nothing on the screen, so it
// never brings the ticks' changes out sooner than the display's pace.
TEST_F(GameWindowTest, KeyRepeatsPaintNoFramesOfTheirOwn) {
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dispatcher.ticks() > 2; }, 5000));
    QTimer repeats;
    QObject::connect(&repeats, &QTimer::timeout, [&] { keyDown(kSpace, 0); });
    repeats.start(3);
    PaintCounter painted(window.scene());
    QElapsedTimer held;
    held.start();
    wait(400);
    repeats.stop();
    EXPECT_TRUE(state.Fire.Visible);
    EXPECT_LE(painted.frames(), static_cast<std::uint64_t>(held.elapsed() / 15 + 2));
}

// A tick that ends the flight waits in its outcome box; no tick is raised meanwhile, so no
// second box opens and no burst of ticks follows. Once it is over the flight stays over
// until R: the window does not wake for the ticks, though Timer1 stays enabled.
TEST_F(GameWindowTest, OutcomeBoxHoldsBackEveryTick) {
    // A level pad across the legs: the first tick lands.
    Line& pad = state.Ground(7);
    pad.X1 = 4200;
    pad.Y1 = 3200;
    pad.X2 = 5760;
    pad.Y2 = 3200;
    std::uint64_t ticksInBox = 0;
    bool hullGreenInBox = false, armedInBox = true;
    BoxAnswerer answerer(150, [&] {
        ticksInBox = dispatcher.ticks();
        armedInBox = wakesForTicks(30);
        QImage frame = window.scene().grab().toImage().scaled(kSceneSize);
        hullGreenInBox = frame.pixel(352, 205) == qRgb(0, 255, 0);
    });
    keyDown(kP, 0);
    wait(300);

    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_EQ(answerer.seen()[0].text, "Great Sucsess!\nPress 'R' to reset");
    EXPECT_EQ(ticksInBox, 1u);
    EXPECT_FALSE(armedInBox);
    EXPECT_TRUE(hullGreenInBox);
    EXPECT_TRUE(state.GameOver);
    EXPECT_TRUE(state.Timer1.Enabled);
    EXPECT_FALSE(wakesForTicks(50));
    EXPECT_EQ(dispatcher.ticks(), 1u);

    keyDown(kR, 0);  // R: a new flight, waiting for P
    keyDown(kP, 0);
    EXPECT_TRUE(wakesForTicks(2000));
    EXPECT_TRUE(QTest::qWaitFor([this] { return dispatcher.ticks() > 1; }, 2000));
}

// The help box opened from the menu while the game runs freezes the flight under it.
TEST_F(GameWindowTest, HelpBoxFromTheMenuHoldsBackEveryTick) {
    keyDown(kP, 0);
    wait(50);
    std::uint64_t before = 0, inBox = 0;
    bool normalStillChecked = false, armedInBox = true;
    BoxAnswerer answerer(150, [&] {
        inBox = dispatcher.ticks();
        armedInBox = wakesForTicks(30);
        // Dropped, as a handler is running; Qt unchecks the action all the same.
        menuAction("mnuGNormal")->trigger();
        normalStillChecked = menuAction("mnuGNormal")->isChecked();
    });
    QTimer::singleShot(0, [&] {
        before = dispatcher.ticks();
        menuAction("mnuControls")->trigger();
    });
    wait(250);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Game Help");
    EXPECT_EQ(inBox, before);
    EXPECT_FALSE(armedInBox);
    EXPECT_TRUE(state.Timer1.Enabled);
    EXPECT_GT(dispatcher.ticks(), before);  // the flight goes on after the box
    EXPECT_TRUE(normalStillChecked);
    EXPECT_EQ(state.Gravity, 0.07_cur);
}

}  // namespace
}  // namespace vandrel::qt::test
