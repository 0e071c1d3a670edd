// SPDX-License-Identifier: MIT
// A replay: a script played back in the window, a tick each period of the host's clock and
// every other event at its tick, as the trace tool would run it.
//
// The whole script is read and checked before it plays (host/replay_script.h). While it plays,
// the player's game keys and the Options menu do nothing; P pauses and resumes the replay; File
// > Exit and closing the window end the program as always, and the game's boxes wait for the
// player as in play. Keys the host itself would give the game when it loses the keyboard or is
// left are not given: they are no part of the script (leaving a running flight pauses the
// replay). A `dump` line and a `close` line go to the host. When the script ends, the game
// stays where it is and the player plays on from there.
//
// A script may hold any number of events between two ticks, millions of them, and a host must
// still take keys, frames and a close request while it plays. So a period delivers a share of
// them at most (kMostSteps, and kPeriodShare of the host's time once its clock is given), and
// the next period goes on where that one stopped, before the script's next tick: the events
// reach the game in their order and between the same ticks, and the game plays to the same
// last bit, only later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/player.h"
#include "host/replay_script.h"

namespace vandrel::host {

class Replay : public PlayerGate {
  public:
    /// The most steps of the script (events, and ticks passed or raised) one period delivers.
    static constexpr std::size_t kMostSteps = 16384;
    /// The most of the host's time, in milliseconds, one period spends delivering them.
    static constexpr double kPeriodShare = 4;

    /// What a host does for the script's `dump` (with the state object's line) and `close`.
    struct Hooks {
        std::function<void(const std::string& line)> dump;
        std::function<void()> close;
    };

    /// Plays `script` for `player` from its next tick on; `clock` is the host's monotonic
    /// clock in milliseconds (none: a period's share is counted in steps alone).
    Replay(Player& player, ReplayScript script, Hooks hooks, std::function<double()> clock = {});
    ~Replay() override;
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    bool paused() const { return paused_; }
    bool finished() const { return next_ == script_.size(); }

    bool takesKey(std::int16_t keyCode, bool down) override;
    bool takesClick(std::string_view menuName) override;
    bool takesTick() override;
    bool wantsTicks() const override { return !paused_ && !finished(); }
    void playerLeft() override { setPaused(true); }

  private:
    void setPaused(bool paused);
    // One period: the events before the script's next tick, the tick, and the events after it
    // up to the tick after, as far as the period's share goes.
    void step();
    // Whether the period that began at `start` has delivered its share, `delivered` steps.
    bool shareDelivered(std::size_t delivered, double start) const;

    Player& player_;
    ReplayScript script_;
    Hooks hooks_;
    std::function<double()> clock_;
    std::size_t next_ = 0;         // where the next step starts in the script
    std::uint32_t ticksLeft_ = 0;  // of the tick step at next_, once begun
    bool delivering_ = false;      // the replay's own events pass the gate
    bool paused_ = false;
    bool pauseKeyDown_ = false;  // P is held: its repeats do not toggle again
};

}  // namespace vandrel::host
