// SPDX-License-Identifier: MIT
// A script's commands, read one at a time as the script comes in: the lines, their numbers,
// and the reason a line is malformed. The trace tool runs each command as it is read from its
// source; a replay is fed its script in pieces (host/replay_script.h) and checks it whole
// before it plays.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/script/line_reader.h"
#include "shell/script/script.h"
#include "shell/script/script_io.h"

namespace vandrel {

class ScriptReader {
  public:
    enum class Result {
        Command,    // `command` holds the next line's command (Nothing for a blank or comment)
        Malformed,  // the line is malformed: reason() says why; read nothing after it
        End,        // the script ended
    };

    explicit ScriptReader(ScriptSource& source) : lines_(source) {}
    /// A reader of a script fed in pieces (feed, nextFed) instead.
    ScriptReader() = default;

    /// The next line's command. `beforeWait` runs each time the reader is about to wait for
    /// more of the script. The command stays valid until the next call. Throws IoError.
    template <class BeforeWait>
    Result next(Command& command, BeforeWait&& beforeWait) {
        return parse(lines_.next(line_, beforeWait), command);
    }
    Result next(Command& command) {
        return next(command, [] {});
    }

    /// Takes the start of `bytes` (see LineReader::feed): how many bytes it took.
    std::size_t feed(std::string_view bytes) { return lines_.feed(bytes); }
    /// Nothing more will be fed.
    void feedEnd() { lines_.feedEnd(); }
    /// The next command of what was fed: End when more must be fed first, or, after feedEnd,
    /// when the script has ended.
    Result nextFed(Command& command) { return parse(lines_.nextFed(line_), command); }

    /// The number of the line last read, counting every line from 1.
    std::uint64_t lineNumber() const { return number_; }
    /// The line last read, without its line feed (empty after one too long).
    std::string_view line() const { return line_; }
    /// Why the line last read is malformed.
    const std::string& reason() const { return reason_; }

  private:
    Result parse(LineReader::Result result, Command& command) {
        if (result == LineReader::Result::End) return Result::End;
        ++number_;
        if (result == LineReader::Result::TooLong) {
            line_ = {};
            reason_ = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
            return Result::Malformed;
        }
        return parseLine(line_, command, reason_) ? Result::Command : Result::Malformed;
    }

    LineReader lines_;
    std::string_view line_;
    std::string reason_;
    std::uint64_t number_ = 0;
};

}  // namespace vandrel
