// SPDX-License-Identifier: MIT
// The player's side of one game, for every host: the driver turns the host's events into the
// calls below, and Player takes them to the game session, one at a time.
//
// It keeps the keys the game was told are down. When the keyboard leaves the scene for any
// reason (another window, a menu or a box takes it, the window or tab is hidden), the game is
// told at once that every key it holds is up, as if the player had let them go, in the order
// of the presses; the window system's own release of such a key later is not passed on. A
// player who leaves a running flight for another window finds it paused: Player presses P for
// them. The game's own menus and boxes never pause it: a box opens only inside a handler,
// which is still running while it is up, and the keys let go meanwhile reach the game once
// that handler has returned.
//
// While a replay runs, a gate sees the player's keys, menu commands and the clock's ticks
// first (see Replay).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/held_keys.h"
#include "shell/session.h"

namespace vandrel::host {

/// Stands between the player and the game while something else drives it (a replay): the
/// player's keys and menu commands, and the host's clock, go to the gate first.
class PlayerGate {
  public:
    virtual ~PlayerGate() = default;
    /// True when the gate takes the player's key and the game never sees it.
    virtual bool takesKey(std::int16_t keyCode, bool down) = 0;
    /// True when the gate takes the player's menu command.
    virtual bool takesClick(std::string_view menuName) = 0;
    /// The clock fired: true when the gate takes the tick (to raise its own events).
    virtual bool takesTick() = 0;
    /// Whether the clock should run while the gate is in place.
    virtual bool wantsTicks() const = 0;
    /// The player left the window while the flight runs, where play would pause.
    virtual void playerLeft() = 0;
};

class Player {
  public:
    /// What the driver does when the game has handled an event.
    class Listener {
      public:
        virtual ~Listener() = default;
        /// A handler ran to its end: catch up with the check marks, the clock (clockWanted),
        /// the scene and what a screen reader hears. `fromClock` after a tick.
        virtual void ran(bool fromClock) = 0;
        /// Whether the clock runs may have changed, with nothing else (a gate came or went).
        virtual void clockChanged() = 0;
        /// The held keys are about to be let go (a host that holds a release back to tell it
        /// from a key's repeat passes it on now: it is a real one).
        virtual void releasing() {}
        /// File > Exit ended the game.
        virtual void exited() = 0;
        /// An unhandled error ended the game: a box with `prompt` ("Run-time error: Overflow")
        /// and the game's name as its title is shown, then the program ends.
        virtual void failed(const std::string& prompt) = 0;
    };

    /// The player of `game`; `listener` hears of every event the game handled. Both must
    /// outlive the player.
    Player(Session& game, Listener& listener) : game_(game), listener_(listener) {}
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    /// Runs Form_Load.
    void load();
    void keyDown(std::int16_t keyCode, std::int16_t shift);
    void keyUp(std::int16_t keyCode, std::int16_t shift);
    /// A key-up from the window system: passed on only while the game holds the key, or to a
    /// replay, which sees every release of the player's.
    void released(std::int16_t keyCode, std::int16_t shift);
    void click(std::string_view menuName);
    /// The host's clock fired.
    void tick();

    /// The keyboard left the scene: every held key gets its key-up, in the order of the
    /// presses; once the running handler has returned when one runs (it opened a box).
    void keyboardLeft();
    /// The player may have gone to another window, or hidden it: the keyboard has left, and a
    /// running flight is paused. `ownPopup`: what took the keyboard is the window's own.
    void windowLeft(bool ownPopup = false);
    /// The program ends with no handler of the game run (the window closed by its frame).
    void close() { ended_ = true; }

    /// Puts `gate` (nullptr: none) between the player and the game; the gate calls it again
    /// when whether it wants ticks changed.
    void setGate(PlayerGate* gate);
    bool replaying() const { return gate_ != nullptr; }

    /// Whether the host's clock should run: while a tick changes anything, or as the gate
    /// wants; never once the game has ended.
    bool clockWanted() const;
    /// The codes of the keys the game holds, the longest held first: a box that opens keeps
    /// them from answering it until each is let go.
    std::vector<std::int16_t> heldKeys() const { return held_.codes(); }
    bool ended() const { return ended_; }
    Session& game() { return game_; }

  private:
    void after(Session::Outcome outcome, bool fromClock = false);

    Session& game_;
    Listener& listener_;
    PlayerGate* gate_ = nullptr;
    HeldKeys held_;
    bool releasePending_ = false;
    bool ended_ = false;
};

}  // namespace vandrel::host
