#include "qt/tick_clock.h"

namespace vandrel::qt {

TickClock::TickClock(Nanoseconds period, std::function<void()> onTick, QObject* parent)
    : QObject(parent), period_(period), onTick_(std::move(onTick)) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickClock::onTimeout);
}

void TickClock::setRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    if (!running) {
        timer_.stop();
        return;
    }
    Nanoseconds now{clock_.nsecsElapsed()};
    nextDue_ = now + period_;
    if (held_ == 0) arm(now);
}

void TickClock::hold() {
    ++held_;
    timer_.stop();
}

void TickClock::release() {
    if (held_ == 0 || --held_ > 0 || !running_) return;
    // The schedule stands: the first timeout finds the deadlines missed meanwhile and drops
    // them.
    arm(Nanoseconds{clock_.nsecsElapsed()});
}

void TickClock::arm(Nanoseconds now) {
    // Qt timers count whole milliseconds: round up so that a tick never fires early.
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextDue_ - now);
    timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

void TickClock::onTimeout() {
    if (!running_ || held_ > 0) return;
    Nanoseconds now{clock_.nsecsElapsed()};
    Nanoseconds late = now - nextDue_;
    if (late > period_) {
        // Skip every deadline more than a period behind; the one left is delivered now.
        auto missed = late / period_;
        dropped_ += static_cast<std::uint64_t>(missed);
        nextDue_ += missed * period_;
    }
    nextDue_ += period_;
    // Armed before the tick runs, which may stop the clock or hold it for a box.
    arm(now);
    onTick_();
}

}  // namespace vandrel::qt
