// Turns the window system's key presses and releases into the game's key-down and key-up
// events, so that a held key gives repeated key-downs and one key-up when it is let go.
//
// Under X11 a held key arrives as one press, then pairs of release and press with the same
// timestamp, then the real release; Qt flags such pairs as auto-repeat only when it happens
// to see both halves at once. So a release that Qt did not flag is held back for a moment:
// when the very next key event is a press of the same key with the same timestamp, the pair
// was auto-repeat and reaches the game as one more key-down; otherwise the release is real
// and is delivered. Holding the space bar therefore never clears EngineOn between repeats.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include <QObject>
#include <QTimer>

class QKeyEvent;

namespace vandrel::qt {

class KeyRepeatFilter : public QObject {
  public:
    /// Receives a key code and the shift state (bit 1 Shift, 2 Ctrl, 4 Alt).
    using KeyHandler = std::function<void(std::int16_t keyCode, std::int16_t shift)>;

    /// How long an unflagged release waits for the press that would make it a repeat. The
    /// two halves of a pair leave the X server together, but on a loaded machine Qt's reader
    /// thread may post the press several milliseconds after the release; a real release is
    /// late by at most this much, about one tick.
    static constexpr std::chrono::milliseconds kReleaseGrace{12};

    KeyRepeatFilter(KeyHandler keyDown, KeyHandler keyUp, QObject* parent = nullptr);

    void press(const QKeyEvent& event);
    void release(const QKeyEvent& event);
    /// Delivers a held-back release at once, if there is one.
    void flush();
    bool holdingRelease() const { return held_.has_value(); }

  private:
    struct HeldRelease {
        std::int16_t keyCode;
        std::int16_t shift;
        std::uint64_t timestamp;
    };

    KeyHandler keyDown_, keyUp_;
    std::optional<HeldRelease> held_;
    QTimer releaseTimer_;
};

}  // namespace vandrel::qt
