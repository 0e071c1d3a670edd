// SPDX-License-Identifier: MIT
// The game's clock where a display's frames drive it (a browser's animation frames), on the
// host's monotonic clock in milliseconds.
//
// Each frame raises one tick for every period that fell due since the clock started, so that
// the ticks keep the period exactly over time, whatever the display's rate (60, 75, 120 or 144
// frames a second): a frame then draws once. A frame that comes more than a stall after the
// one before (the page was busy, the tab hidden) raises at most one tick for all the time
// missed and drops the rest: the game never runs fast to catch up. Starting the clock begins a
// fresh period.
#pragma once

#include <cmath>
#include <cstdint>

namespace vandrel::host {

class FrameClock {
  public:
    /// A tick every `periodMs`; a frame later than `stallMs` after the one before is a stall.
    explicit FrameClock(double periodMs, double stallMs = 50)
        : period_(periodMs), stall_(stallMs) {}

    /// Starts the clock at `now`: the first tick falls due a period later.
    void start(double now) {
        next_ = now + period_;
        lastFrame_ = now;
    }

    /// A frame at `now`: the number of ticks to raise before it is drawn.
    std::int64_t frame(double now) {
        const bool stalled = now - lastFrame_ > stall_;
        lastFrame_ = now;
        if (now < next_) return 0;
        const double due = std::floor((now - next_) / period_) + 1;
        next_ += due * period_;  // the ticks dropped keep their phase
        return stalled ? 1 : static_cast<std::int64_t>(due);
    }

  private:
    double period_, stall_;
    double next_ = 0;       // when the next tick falls due
    double lastFrame_ = 0;  // when the last frame came, or the clock started
};

}  // namespace vandrel::host
