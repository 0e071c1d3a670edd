// SPDX-License-Identifier: MIT
// A script to replay (host/replay.h), read and checked whole before it plays, and kept compact
// while it does.
//
// Anyone can make a script, and a page takes one from any link. The reader takes the script in
// pieces as they come, so that a host that cannot wait for a file or a link feeds it what it
// has and stays free between pieces; it holds one line at most of the text, and stops at the
// first malformed line. What it keeps is a byte or a few for each command, never more than the
// command's own line took: a script's replay never needs more memory than the script itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "shell/script/script.h"
#include "shell/script/script_io.h"
#include "shell/script/script_reader.h"

namespace vandrel::host {

/// The commands of a checked script, in order, compact.
class ReplayScript {
  public:
    /// One command; `menuName` points into the script.
    struct Step {
        CommandKind kind = CommandKind::Nothing;
        std::int16_t keyCode = 0;
        std::uint32_t count = 0;
        std::string_view menuName;
    };

    /// Reads `text` whole, for a script known to be well formed (a test's): empty when a line
    /// is malformed.
    static ReplayScript of(std::string_view text);

    /// Adds a command that is not Nothing.
    void add(const Command& command);
    bool empty() const { return bytes_.empty(); }
    /// Its size in bytes: where the step after the last would start.
    std::size_t size() const { return bytes_.size(); }
    /// The step that starts at `at` (below size()); `at` moves on to the next one.
    Step next(std::size_t& at) const;

  private:
    std::string bytes_;
};

/// Why a script cannot be replayed.
struct ReplayRefusal {
    std::uint64_t line = 0;
    std::string reason;
    /// As the player reads it of the script named `name`: "NAME: line N: REASON", the name's
    /// control characters shown escaped.
    std::string text(std::string_view name) const;
};

/// Reads a script given in pieces, checking every line.
class ReplayReader {
  public:
    using Result = std::variant<ReplayScript, ReplayRefusal>;
    using Note = std::function<void(const std::string&)>;

    /// Reads the script named `name`; `note` is told of a recording from another version.
    ReplayReader(std::string_view name, Note note);

    /// The next piece of the script: false once it is refused, when the rest need not come.
    bool more(std::string_view piece);
    /// The script has ended: what to replay, or why it is refused.
    Result end();

    /// Reads a whole script from `source`. Throws IoError.
    static Result read(ScriptSource& source, std::string_view name, const Note& note);

  private:
    // Takes the commands of what was fed, up to a malformed line.
    void take();

    std::string name_;
    Note note_;
    ScriptReader reader_;
    ReplayScript script_;
    std::optional<ReplayRefusal> refusal_;
};

}  // namespace vandrel::host
