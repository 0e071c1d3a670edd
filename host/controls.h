// SPDX-License-Identifier: MIT
// The game's keys in other hands: the on-screen controls of a touch screen and a gamepad's
// buttons and stick. Each holds one of the game's keys while pressed, and reaches the game as
// the keyboard's key would: a key-down when it is pressed (and its repeats while it is held, at a
// keyboard's usual pace), a key-up when it is let go, slid off or cancelled, or when its pad is
// unplugged. Several hold at once (the engine while a second finger turns); a key two of them
// hold goes up when the last lets go. So a flight flown by touch or by pad is recorded, and
// replays, as one flown by keys.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "shell/runtime/key_codes.h"

namespace vandrel::host {

/// An on-screen control: the key it stands for, what it shows (that key, so that the game's
/// own prompts, "Press 'P' to start", read right), the name a screen reader says, and whether
/// it turns (the turning controls go under one thumb, the rest under the other).
struct Control {
    std::int16_t key;
    std::string_view face;
    std::string_view name;
    bool turns = false;
};

/// The seven controls, in the order they are laid out.
inline constexpr std::array<Control, 7> kControls = {{
    {keys::kLeft, "\u2190", "Turn left (Left arrow)", true},
    {keys::kRight, "\u2192", "Turn right (Right arrow)", true},
    {keys::kUp, "\u2191", "More thrust (Up arrow)"},
    {keys::kP, "P", "Start or pause (P)"},
    {keys::kDown, "\u2193", "Less thrust (Down arrow)"},
    {keys::kR, "R", "New flight (R)"},
    {keys::kSpace, "Space", "Engine (Space)"},
}};

/// A gamepad as the browser reads it in its standard layout: the buttons pressed (bit i for
/// button i: 0 A, 4 and 5 the shoulders, 7 the right trigger, 8 Back, 9 Start, 12 to 15 the
/// d-pad's up, down, left and right) and the left stick (-1 to 1, x to the right).
struct PadReading {
    std::uint32_t pressed = 0;
    double x = 0;
};

/// How often a waiting game looks at a connected pad, so that Start can start a flight.
inline constexpr std::chrono::milliseconds kPadWaitPoll{100};

/// The keys held by controls and pads, and their repeats.
class HeldControls {
  public:
    /// A held key's first repeat comes this long after its press, the next ones this far apart:
    /// a keyboard's usual pace.
    static constexpr double kRepeatDelayMs = 500, kRepeatIntervalMs = 33;

    /// A key going down (repeated or not) or up, for the game.
    struct Change {
        std::int16_t key;
        bool down;
    };

    /// Control `index` of kControls is pressed (true) or let go at `now` (milliseconds).
    std::vector<Change> control(std::size_t index, bool pressed, double now);
    /// Pad `pad` reads `reading` at `now`.
    std::vector<Change> pad(int pad, const PadReading& reading, double now);
    /// Pad `pad` is gone: what it held is let go.
    std::vector<Change> padGone(int pad, double now) { return this->pad(pad, {}, now); }
    /// While a box is up: whether pad `pad`'s reading presses A or Start anew (not held since
    /// before the box opened), which answers it.
    bool answersBox(int pad, const PadReading& reading);
    /// The repeats that fell due by `now`.
    std::vector<Change> repeats(double now);
    /// When the next repeat falls due, if a key is held.
    std::optional<double> nextRepeat() const;
    /// The keyboard left the scene, which lets go of every key the game holds: nothing held
    /// repeats, and a control or button still down goes up unseen.
    void forget();

  private:
    // Who holds a key: a control, or one of the keys a pad holds.
    static constexpr int sourceOf(int pad, int key) { return 64 + pad * 8 + key; }
    void hold(int source, std::int16_t key, bool repeats, bool held, double now,
              std::vector<Change>& changes);

    struct Held {
        int source;
        std::int16_t key;
        bool repeats;
        double nextRepeat;
    };
    struct Pad {
        std::uint32_t buttons = 0;  // as last read
        std::uint32_t keys = 0;     // the keys it held then, a bit each
    };
    Pad& padState(int pad);

    std::vector<Held> held_;  // a few at most
    std::vector<Pad> pads_;
};

}  // namespace vandrel::host
