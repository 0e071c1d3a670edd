// SPDX-License-Identifier: MIT
// The script's lines, read in bounded chunks: however long a line or the whole script, the
// reader holds at most one chunk of it. It reads them from a source, waiting for more as it
// needs them, or takes them in pieces as they come (feed), for a host that cannot wait; either
// way the same bytes make the same lines.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "shell/script/script_io.h"

namespace vandrel {

/// The longest line a script may have, in bytes before its line feed.
inline constexpr std::size_t kMaxLineBytes = 65'536;

class LineReader {
  public:
    enum class Result {
        Line,     // `line` holds the next line, without its line feed
        TooLong,  // the next line runs past kMaxLineBytes; nothing more of it is read
        End,      // the script ended
    };

    explicit LineReader(ScriptSource& source);
    /// A reader of a script fed in pieces instead (feed, nextFed), with no source to read.
    LineReader();

    /// The next line. `beforeWait` runs each time the reader is about to wait for more of the
    /// script. `line` stays valid until the next call. Throws what the source throws.
    template <class BeforeWait>
    Result next(std::string_view& line, BeforeWait&& beforeWait) {
        for (;;) {
            if (const Result result = take(line); result != Result::End || ended_) return result;
            beforeWait();
            fill();
        }
    }

    /// Takes the start of `bytes`, as much as the buffer holds: how many bytes it took, none
    /// only while a line (or one too long) waits to be taken by nextFed.
    std::size_t feed(std::string_view bytes);
    /// Nothing more will be fed: the last line needs no line feed of its own.
    void feedEnd() { ended_ = true; }
    /// The next line of what was fed, without waiting: End when more must be fed first, or,
    /// after feedEnd, once every line has been taken.
    Result nextFed(std::string_view& line) { return take(line); }

  private:
    // A whole line, or TooLong, from what is buffered; End when more must be read first (or
    // when the script has ended and nothing is left).
    Result take(std::string_view& line);
    // Moves what is left to the front.
    void compact();
    // Moves what is left to the front and reads more after it.
    void fill();

    ScriptSource* source_ = nullptr;  // none when the script is fed
    std::unique_ptr<char[]> buffer_;  // kMaxLineBytes + 1 bytes: one line too many at most
    std::size_t begin_ = 0, end_ = 0;
    bool ended_ = false;
};

}  // namespace vandrel
