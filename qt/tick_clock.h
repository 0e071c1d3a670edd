// SPDX-License-Identifier: MIT
// The timer that drives Timer1: a repeating precise Qt timer of the game's period.
//
// Qt schedules each timeout one period after the one before on a monotonic clock, so the
// ticks do not drift; when the event loop was held up past a deadline, Qt schedules the next
// one a period from then, so the ticks missed meanwhile are dropped, never delivered in a
// burst. Starting the clock begins a fresh period. While the clock is stopped, or held while
// a modal box is open, no timer is armed at all: the process does not wake for ticks.
#pragma once

#include <chrono>
#include <functional>

#include <QObject>
#include <QTimer>

namespace vandrel::qt {

class TickClock : public QObject {
  public:
    TickClock(std::chrono::milliseconds period, std::function<void()> onTick,
              QObject* parent = nullptr);

    /// Starts (with a fresh period) or stops the clock; no change when it is already so.
    void setRunning(bool running);
    bool running() const { return running_; }
    /// Holds the ticks back while a modal box is open; the clock goes on with a fresh period
    /// when it is let go.
    void hold(bool held);
    /// True while Qt's timer is armed, that is while the process wakes for ticks.
    bool armed() const { return timer_.isActive(); }

  private:
    void arm();

    std::function<void()> onTick_;
    QTimer timer_;
    bool running_ = false;
    bool held_ = false;
};

}  // namespace vandrel::qt
