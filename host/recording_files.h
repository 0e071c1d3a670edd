// SPDX-License-Identifier: MIT
// A game's recordings in the system's files, for a host that has them (the window): the flight
// written to a file as it is played (`--record FILE`), and a flight read from one to be
// replayed (`--replay FILE`).
//
// The file to record is created, or emptied, when the game starts; a path that cannot be
// written ends the program before any window. A write that fails later is reported once on
// standard error, the game goes on unrecorded, and the program's status at the end is 4.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/driver.h"
#include "host/replay.h"
#include "shell/script/fd_io.h"

namespace vandrel::host {

/// Reads the script at `path` to replay; nothing after printing "vandrel: FILE: line N: REASON"
/// or "vandrel: cannot read 'FILE': REASON" (the path's control characters escaped). A
/// recording of another version is read after a warning.
std::optional<ReplayScript> readReplay(const std::string& path);

/// The hooks of a replay in the window: its `dump` lines written on standard output as the trace
/// tool writes them, and its `close` running `close`.
Replay::Hooks replayHooks(std::function<void()> close);

class RecordingFile {
  public:
    /// The exit status after a recording that could not be written to its end.
    static constexpr int kWriteFailed = 4;

    /// Creates or empties `path`, and records `driver`'s game into it from its first line;
    /// nullptr after printing "vandrel: cannot write 'PATH': REASON" when the file cannot be
    /// opened.
    static std::unique_ptr<RecordingFile> open(const std::string& path, Driver& driver);

    /// Writes the game's state as the last line; returns the program's status: `status`, or
    /// kWriteFailed when a write of a game that ended well failed.
    int finish(int status);

  private:
    RecordingFile(const std::string& path, Driver& driver);

    std::string path_;
    Driver& driver_;
    File file_;
    FdSink sink_;
};

}  // namespace vandrel::host
