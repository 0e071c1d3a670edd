// SPDX-License-Identifier: MIT
// Turns the window system's key presses and releases into the game's key-down and key-up
// events, so that a held key gives repeated key-downs and one key-up when it is let go. It
// filters the key events of the scene, before the scene sees them.
//
// Under X11 a held key arrives, by default, as one press, then pairs of release and press
// with the same timestamp, then the real release. The window therefore asks the X server for
// XKB's "detectable auto-repeat" on its connection: a held key then gives presses alone and
// one real release, and every release reaches the game at once. Where the server refuses, the
// pairs are undone here: Qt flags a pair as auto-repeat only when it happens to see both
// halves at once, so a release that Qt did not flag is held back for a moment; when the very
// next key event is a press of the same key with the same timestamp, the pair was auto-repeat
// and reaches the game as one more key-down; otherwise the release is real and is delivered.
// Holding the space bar therefore never clears EngineOn between repeats.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include <QObject>
#include <QTimer>

#include "host/keys.h"

class QKeyEvent;

namespace vandrel::qt {

/// Asks the X server of the application's connection to send a held key's repeats as presses
/// alone (XKB's per-client flag "detectable auto-repeat"); true when the server granted it.
/// False on any other platform, or when the program was built without xcb-xkb.
bool requestDetectableAutoRepeat();

class KeyRepeatFilter : public QObject {
  public:
    /// Receives a key going down or up.
    using KeyHandler = std::function<void(const host::KeyEvent& key)>;

    /// How long an unflagged release waits for the press that would make it a repeat, when
    /// the server sends pairs. The two halves of a pair leave the X server together, but on a
    /// loaded machine Qt's reader thread may post the press several milliseconds after the
    /// release; a real release is late by at most this much, about one tick.
    static constexpr std::chrono::milliseconds kReleaseGrace{12};

    /// `releasesAreReal`: the server sends no release before a key is really let go (see
    /// requestDetectableAutoRepeat), so every release is delivered at once.
    KeyRepeatFilter(bool releasesAreReal, KeyHandler deliver, QObject* parent = nullptr);

    void press(const QKeyEvent& event);
    void release(const QKeyEvent& event);
    /// Delivers a held-back release at once, if there is one.
    void flush();

  protected:
    /// Takes the game's key presses and releases of the watched widget (host::isGameKey):
    /// arrows and space are keys of the game there, never focus moves.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct HeldRelease {
        host::KeyEvent key;
        std::uint64_t timestamp;
    };

    bool releasesAreReal_;
    KeyHandler deliver_;
    std::optional<HeldRelease> held_;
    QTimer releaseTimer_;
};

}  // namespace vandrel::qt
