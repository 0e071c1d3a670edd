// The timer that drives Timer1: a fixed period on a monotonic clock, without drift.
//
// Each deadline is the previous one plus the period, so rounding in the event loop never
// accumulates. A tick that falls due more than a period late (the event loop was held up, or
// a handler was still running) is dropped rather than delivered in a burst afterwards.
// Starting the clock begins a fresh period; while it is stopped, or held while a modal box is
// open, no Qt timer runs at all.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

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
    std::uint64_t dropped() const { return dropped_; }

  private:
    void onTimeout();
    void arm(Nanoseconds now);

    Nanoseconds period_;
    std::function<void()> onTick_;
    QElapsedTimer clock_;
    QTimer timer_;
    Nanoseconds nextDue_{0};  // since clock_ started
    bool running_ = false;
    int held_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace vandrel::qt
