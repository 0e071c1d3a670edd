// SPDX-License-Identifier: MIT
#include "qt/key_repeat_filter.h"

#include <cstdlib>

#include <QGuiApplication>
#include <QKeyEvent>

#include "qt/key_codes.h"

#if VANDREL_HAVE_XCB_XKB
#include "qt/x11_connection.h"
// The C header names a field `explicit`, a keyword of C++.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#endif

namespace vandrel::qt {

bool requestDetectableAutoRepeat() {
#if VANDREL_HAVE_XCB_XKB
    xcb_connection_t* c = applicationConnection();
    if (c == nullptr) return false;
    // The server answers XKB requests only on a connection that has announced its version;
    // Qt's keymap has done so already, and saying it again does no harm.
    xcb_xkb_use_extension_reply_t* used = xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
    const bool supported = used != nullptr && used->supported;
    std::free(used);
    if (!supported) return false;
    constexpr std::uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_xkb_per_client_flags_reply_t* flags = xcb_xkb_per_client_flags_reply(
        c, xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0), nullptr);
    const bool granted = flags != nullptr && (flags->value & flag) != 0;
    std::free(flags);
    return granted;
#else
    return false;
#endif
}

KeyRepeatFilter::KeyRepeatFilter(bool releasesAreReal, KeyHandler deliver, QObject* parent)
    : QObject(parent), releasesAreReal_(releasesAreReal), deliver_(std::move(deliver)) {
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setTimerType(Qt::PreciseTimer);
    releaseTimer_.setInterval(kReleaseGrace);
    connect(&releaseTimer_, &QTimer::timeout, this, &KeyRepeatFilter::flush);
}

bool KeyRepeatFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return QObject::eventFilter(watched, event);
    }
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (!host::isGameKey(keyEventOf(key))) return false;
    if (event->type() == QEvent::KeyPress) {
        press(key);
    } else {
        release(key);
    }
    return true;
}

void KeyRepeatFilter::press(const QKeyEvent& event) {
    const host::KeyEvent key = keyEventOf(event);
    if (held_ && key.code == held_->key.code && held_->timestamp == event.timestamp()) {
        // The release just before was the first half of an auto-repeat pair.
        held_.reset();
        releaseTimer_.stop();
    } else {
        flush();
    }
    deliver_(key);
}

void KeyRepeatFilter::release(const QKeyEvent& event) {
    const host::KeyEvent key = keyEventOf(event);
    // Qt saw the press of this pair already: the press alone reaches the game.
    if (!key.code || event.isAutoRepeat()) return;
    if (releasesAreReal_) {
        deliver_(key);
        return;
    }
    flush();
    held_ = HeldRelease{key, event.timestamp()};
    releaseTimer_.start();
}

void KeyRepeatFilter::flush() {
    if (!held_) return;
    const HeldRelease release = *held_;
    held_.reset();
    releaseTimer_.stop();
    deliver_(release.key);
}

}  // namespace vandrel::qt
