// SPDX-License-Identifier: MIT
// The window's replay (`--replay FILE`): a script played back in the window, a tick each period
// of the game's clock and every other event at its tick, as the trace tool would run it.
//
// The whole script is read and checked before any window opens. While it plays, the player's
// game keys and the Options menu do nothing; P pauses and resumes the replay; File > Exit and
// closing the window end the program as always, and the game's boxes wait for the player as in
// play. Keys the window itself would give the game when it loses the keyboard or is left are
// not given: they are no part of the script (leaving a running flight pauses the replay). A
// `dump` line writes the state object on standard output, as the trace tool does; `close`
// closes the window. When the
// script ends, the game stays where it is and the player plays on from there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qt/game_window.h"
#include "shell/script/script.h"

namespace vandrel::qt {

class ReplayDriver : public PlayerGate {
  public:
    /// One command of the script, with its menu name held.
    struct Step {
        CommandKind kind = CommandKind::Nothing;
        std::int16_t keyCode = 0;
        std::uint32_t count = 0;
        std::string menuName = {};
    };

    /// Reads the script at `path`; nothing after printing "vandrel: FILE: line N: REASON" or
    /// "vandrel: cannot read 'FILE': REASON". A recording of another version is read after a
    /// warning.
    static std::optional<std::vector<Step>> read(const std::string& path);

    /// Plays `steps` in `window` from its next tick on.
    ReplayDriver(GameWindow& window, std::vector<Step> steps);
    ~ReplayDriver() override;

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
    void finish();

    GameWindow& window_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::uint32_t ticksLeft_ = 0;  // of the tick step at next_, once begun
    bool delivering_ = false;      // the driver's own events pass the gate
    bool paused_ = false;
    bool pauseKeyDown_ = false;  // P is held: its repeats do not toggle again
};

}  // namespace vandrel::qt
