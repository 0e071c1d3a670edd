// SPDX-License-Identifier: MIT
// A replay: a script played back in the window, a tick each period of the host's clock and
// every other event at its tick, as the trace tool would run it.
//
// The whole script is read and checked before it plays. While it plays, the player's game keys
// and the Options menu do nothing; P pauses and resumes the replay; File > Exit and closing
// the window end the program as always, and the game's boxes wait for the player as in play.
// Keys the host itself would give the game when it loses the keyboard or is left are not
// given: they are no part of the script (leaving a running flight pauses the replay). A `dump`
// line and a `close` line go to the host. When the script ends, the game stays where it is and
// the player plays on from there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/player.h"
#include "shell/script/script.h"
#include "shell/script/script_io.h"

namespace vandrel::host {

class Replay : public PlayerGate {
  public:
    /// One command of the script, with its menu name held.
    struct Step {
        CommandKind kind = CommandKind::Nothing;
        std::int16_t keyCode = 0;
        std::uint32_t count = 0;
        std::string menuName = {};
    };
    /// Why a script cannot be replayed.
    struct Refusal {
        std::uint64_t line = 0;
        std::string reason;
        /// As the player reads it of the script named `name`: "NAME: line N: REASON".
        std::string text(std::string_view name) const;
    };
    /// What a host does for the script's `dump` (with the state object's line) and `close`.
    struct Hooks {
        std::function<void(const std::string& line)> dump;
        std::function<void()> close;
    };

    /// Reads a whole script from `source`, named `name` in the note of a recording from another
    /// version, which `note` is given. Throws IoError.
    static std::variant<std::vector<Step>, Refusal> read(
        ScriptSource& source, std::string_view name,
        const std::function<void(const std::string&)>& note);

    /// Plays `steps` for `player` from its next tick on.
    Replay(Player& player, std::vector<Step> steps, Hooks hooks);
    ~Replay() override;
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    bool paused() const { return paused_; }
    bool finished() const { return next_ == steps_.size(); }

    bool takesKey(std::int16_t keyCode, bool down) override;
    bool takesClick(std::string_view menuName) override;
    bool takesTick() override;
    bool wantsTicks() const override { return !paused_ && !finished(); }
    void playerLeft() override { setPaused(true); }

  private:
    void setPaused(bool paused);
    // One period: the script's next tick and the events after it, up to the tick after.
    void step();

    Player& player_;
    std::vector<Step> steps_;
    Hooks hooks_;
    std::size_t next_ = 0;
    std::uint32_t ticksLeft_ = 0;  // of the tick step at next_, once begun
    bool delivering_ = false;      // the replay's own events pass the gate
    bool paused_ = false;
    bool pauseKeyDown_ = false;  // P is held: its repeats do not toggle again
};

}  // namespace vandrel::host
