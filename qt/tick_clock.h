// The timer that drives Timer1: the deadlines of a TickSchedule on a monotonic clock.
//
// Starting the clock begins a fresh period; while it is stopped, or held while a modal box is
// open, no Qt timer runs at all.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "qt/tick_schedule.h"

namespace vandrel::qt {

class TickClock : public QObject {
  public:
    using Nanoseconds = std::chrono::nanoseconds;

    TickClock(Nanoseconds period, std::function<void()> onTick, QObject* parent = nullptr);

    /// Starts (with a fresh period) or stops the clock; no change when it is already so.
    void setRunning(bool running);
    bool running() const { return running_; }
    /// Holds the ticks back while a modal box is open (calls nest); the ticks that fall due
    /// meanwhile are dropped when the last hold is released.
    void hold();
    void release();
    /// How many ticks fell due too late and were dropped since the clock was created.
    std::uint64_t dropped() const { return schedule_.dropped(); }

  private:
    void onTimeout();
    void arm();
    Nanoseconds now() const { return Nanoseconds{clock_.nsecsElapsed()}; }

    TickSchedule schedule_;  // deadlines since clock_ started
    std::function<void()> onTick_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool running_ = false;
    int held_ = 0;
};

}  // namespace vandrel::qt
