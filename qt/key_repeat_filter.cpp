#include "qt/key_repeat_filter.h"

#include <QKeyEvent>

#include "qt/key_codes.h"

namespace vandrel::qt {

KeyRepeatFilter::KeyRepeatFilter(KeyHandler keyDown, KeyHandler keyUp, QObject* parent)
    : QObject(parent), keyDown_(std::move(keyDown)), keyUp_(std::move(keyUp)) {
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setTimerType(Qt::PreciseTimer);
    releaseTimer_.setInterval(kReleaseGrace);
    connect(&releaseTimer_, &QTimer::timeout, this, &KeyRepeatFilter::flush);
}

void KeyRepeatFilter::press(const QKeyEvent& event) {
    std::optional<std::int16_t> code = virtualKeyCode(event);
    std::int16_t shift = shiftState(event.modifiers());
    if (held_ && code && held_->keyCode == *code && held_->timestamp == event.timestamp()) {
        // The release just before was the first half of an auto-repeat pair.
        held_.reset();
        releaseTimer_.stop();
    } else {
        flush();
    }
    if (code) keyDown_(*code, shift);
}

void KeyRepeatFilter::release(const QKeyEvent& event) {
    std::optional<std::int16_t> code = virtualKeyCode(event);
    if (!code) return;
    // Qt saw the press of this pair already: the press alone reaches the game.
    if (event.isAutoRepeat()) return;
    flush();
    held_ = HeldRelease{*code, shiftState(event.modifiers()), event.timestamp()};
    releaseTimer_.start();
}

void KeyRepeatFilter::flush() {
    if (!held_) return;
    HeldRelease release = *held_;
    held_.reset();
    releaseTimer_.stop();
    keyUp_(release.keyCode, release.shift);
}

}  // namespace vandrel::qt
