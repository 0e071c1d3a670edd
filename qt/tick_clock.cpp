// SPDX-License-Identifier: MIT
#include "qt/tick_clock.h"

namespace vandrel::qt {

TickClock::TickClock(std::chrono::milliseconds period, std::function<void()> onTick,
                     QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(period);
    connect(&timer_, &QTimer::timeout, this, [this] { onTick_(); });
}

void TickClock::setRunning(bool running) {
    if (running == running_) return;
    running_ = running;
    arm();
}

void TickClock::hold(bool held) {
    if (held == held_) return;
    held_ = held;
    arm();
}

void TickClock::arm() {
    if (running_ && !held_) {
        timer_.start();  // a fresh period
    } else {
        timer_.stop();
    }
}

}  // namespace vandrel::qt
