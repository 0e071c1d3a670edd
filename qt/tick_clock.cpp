#include "qt/tick_clock.h"

namespace vandrel::qt {

TickClock::TickClock(Nanoseconds period, std::function<void()> onTick, QObject* parent)
    : QObject(parent), schedule_(period), onTick_(std::move(onTick)) {
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
    schedule_.start(now());
    if (held_ == 0) arm();
}

void TickClock::hold() {
    ++held_;
    timer_.stop();
}

void TickClock::release() {
    if (held_ == 0 || --held_ > 0 || !running_) return;
    // The schedule stands: the first timeout finds the deadlines missed meanwhile and drops
    // them.
    arm();
}

void TickClock::arm() {
    timer_.start(schedule_.wait(now()));
}

void TickClock::onTimeout() {
    if (!running_ || held_ > 0) return;
    schedule_.fire(now());
    // Armed before the tick runs, which may stop the clock or hold it for a box.
    arm();
    onTick_();
}

}  // namespace vandrel::qt
