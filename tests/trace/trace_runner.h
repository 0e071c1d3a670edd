// SPDX-License-Identifier: MIT
// Runs a trace script through the library or through the built vandrel-trace binary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shell/script/script_io.h"

namespace vandrel::headless::testing {

/// Output that takes `goodWrites` writes and fails on every one after.
class FailingSink : public OutputSink {
  public:
    explicit FailingSink(int goodWrites) : good_(goodWrites) {}
    void write(std::string_view bytes) override {
        if (good_-- <= 0) throw IoError{IoError::Direction::Write, "Broken pipe"};
        text += bytes;
    }
    std::string text;

  private:
    int good_;
};

struct TraceResult {
    int status = -1;
    std::string out, err;
    long peakKiB = 0;        // the binary's peak resident memory
    std::string scriptPath;  // the binary's script file
    /// The output split into its lines, without the line feeds.
    std::vector<std::string> lines() const;
};

TraceResult traceLibrary(std::string_view script);

/// The script of a pinned flight (tests/flights/pinned.txt), kept or written by the build.
std::string flightScript(const std::string& name);

/// How the binary's standard input and output are set up.
struct BinarySetup {
    enum class Input {
        File,       // the script, from a file
        Pipe,       // the script, then `longLine` bytes of 'x' and "\ndump\n", through a pipe
        Closed,     // no standard input at all
        Directory,  // standard input opened on "/"
        Argument,   // the script, from a file named on the command line
    } input = Input::File;
    enum class Output {
        File,
        Closed,      // no standard output at all
        Full,        // /dev/full
        BrokenPipe,  // a pipe nobody reads, with SIGPIPE ignored
    } output = Output::File;
    std::size_t longLine = 0;
};

TraceResult traceBinary(std::string_view script, const BinarySetup& setup = {});

}  // namespace vandrel::headless::testing
