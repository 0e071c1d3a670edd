// SPDX-License-Identifier: MIT
// The window's recording (`--record FILE`): the file and the recorder writing the flight to it.
//
// The file is created, or emptied, when the game starts; a path that cannot be written ends the
// program before any window. A write that fails later is reported once on standard error, the
// game goes on unrecorded, and the program's status at the end is 4.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "shell/script/recorder.h"
#include "shell/session.h"
#include "trace/fd_io.h"

namespace vandrel::qt {

class RecordingFile {
  public:
    /// The exit status after a recording that could not be written to its end.
    static constexpr int kWriteFailed = 4;

    /// Creates or empties `path` and writes the first line; nullptr after printing "vandrel:
    /// cannot write 'PATH': REASON" when the file cannot be opened.
    static std::unique_ptr<RecordingFile> open(const std::string& path);

    /// The recorder, to observe the game.
    Recorder& recorder() { return *recorder_; }
    /// Writes how the program ended and the game's state; returns the program's status:
    /// `status`, or kWriteFailed when a write of a game that ended well failed.
    int finish(Ending ending, const Session& game, int status);

  private:
    explicit RecordingFile(const std::string& path);

    std::string path_;
    headless::File file_;
    headless::FdSink sink_;
    std::optional<Recorder> recorder_;
};

}  // namespace vandrel::qt
