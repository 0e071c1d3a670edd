// SPDX-License-Identifier: MIT
// Runs a trace script through the library or through the built vandrel-trace binary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vandrel::headless::testing {

struct TraceResult {
    int status = -1;
    std::string out, err;
    long peakKiB = 0;  // the binary's peak resident memory
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
