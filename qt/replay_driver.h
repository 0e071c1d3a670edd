// SPDX-License-Identifier: MIT
// The window's replay (`--replay FILE`, see host::Replay): the script read whole from its file
// before any window opens, its `dump` lines written on standard output as the trace tool
// writes them, and its `close` closing the window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/replay.h"
#include "qt/game_window.h"

namespace vandrel::qt {

class ReplayDriver : public host::Replay {
  public:
    using Step = host::Replay::Step;

    /// Reads the script at `path`; nothing after printing "vandrel: FILE: line N: REASON" or
    /// "vandrel: cannot read 'FILE': REASON". A recording of another version is read after a
    /// warning.
    static std::optional<std::vector<Step>> read(const std::string& path);

    /// Plays `steps` in `window` from its next tick on.
    ReplayDriver(GameWindow& window, std::vector<Step> steps);
};

}  // namespace vandrel::qt
