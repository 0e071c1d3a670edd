// SPDX-License-Identifier: MIT
// Where a trace reads its script and writes its lines.
//
// The tool itself reads standard input and writes standard output; the tests and the fuzzers
// run traces in memory. Either way a failure is an IoError with the system's reason, and the
// trace ends on it with status 4: a script that could not be read to its end, or lines that
// could not be written, never pass for a trace that ran.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel {

/// A read or write that failed; `reason` says why ("No space left on device").
struct IoError {
    enum class Direction { Read, Write };
    Direction direction;
    std::string reason;
};

class ScriptSource {
  public:
    virtual ~ScriptSource() = default;
    /// Reads at least one and at most `capacity` bytes into `buffer`, waiting for the first
    /// if need be; 0 at the end of the script. Throws IoError.
    virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

class OutputSink {
  public:
    virtual ~OutputSink() = default;
    /// Writes all of `bytes` or throws IoError.
    virtual void write(std::string_view bytes) = 0;
};

/// A script held in memory.
class TextSource : public ScriptSource {
  public:
    explicit TextSource(std::string_view text) : rest_(text) {}
    std::size_t read(char* buffer, std::size_t capacity) override {
        const std::size_t count = rest_.copy(buffer, capacity);
        rest_.remove_prefix(count);
        return count;
    }

  private:
    std::string_view rest_;
};

/// Output collected in memory.
class StringSink : public OutputSink {
  public:
    void write(std::string_view bytes) override { text += bytes; }
    std::string text;
};

/// Output collected in memory in pieces of a MiB or so, which are never copied as it grows: a
/// recording kept in memory, however long, takes what it holds and little more.
class PiecesSink : public OutputSink {
  public:
    void write(std::string_view bytes) override {
        if (pieces_.empty() || pieces_.back().size() + bytes.size() > kPiece) {
            pieces_.emplace_back().reserve(std::max(kPiece, bytes.size()));
        }
        pieces_.back() += bytes;
    }
    /// Everything written, in one string.
    std::string text() const {
        std::size_t size = 0;
        for (const std::string& piece : pieces_)
            size += piece.size();
        std::string text;
        text.reserve(size);
        for (const std::string& piece : pieces_)
            text += piece;
        return text;
    }

  private:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::vector<std::string> pieces_;
};

}  // namespace vandrel
