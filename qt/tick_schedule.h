// The deadlines of the 10 ms clock, apart from any real clock so that they can be reasoned
// about (and tested) on their own.
//
// Each deadline is the previous one plus the period, so lateness in the event loop never
// accumulates into drift. A deadline that has passed by more than a period when the timer
// finally fires is dropped: after a stall the game takes one tick and goes on at its pace,
// never a burst of catch-up ticks.
#pragma once

#include <chrono>
#include <cstdint>

namespace vandrel::qt {

class TickSchedule {
  public:
    using Nanoseconds = std::chrono::nanoseconds;

    explicit TickSchedule(Nanoseconds period) : period_(period) {}

    /// A fresh period begins now.
    void start(Nanoseconds now) { nextDue_ = now + period_; }
    /// The timer fired at `now`: drops the deadlines missed by more than a period and moves on
    /// to the next one; the tick is then delivered.
    void fire(Nanoseconds now) {
        const Nanoseconds late = now - nextDue_;
        if (late > period_) {
            const auto missed = late / period_;
            dropped_ += static_cast<std::uint64_t>(missed);
            nextDue_ += missed * period_;
        }
        nextDue_ += period_;
    }
    /// How long to wait from `now` for the next deadline, in whole milliseconds rounded up so
    /// that a tick never comes early.
    std::chrono::milliseconds wait(Nanoseconds now) const {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextDue_ - now);
        return wait < std::chrono::milliseconds(0) ? std::chrono::milliseconds(0) : wait;
    }
    std::uint64_t dropped() const { return dropped_; }

  private:
    Nanoseconds period_;
    Nanoseconds nextDue_{0};
    std::uint64_t dropped_ = 0;
};

}  // namespace vandrel::qt
