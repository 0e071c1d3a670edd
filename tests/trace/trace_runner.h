// Runs a trace script through the library or through the built vandrel-trace binary.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vandrel::headless::testing {

struct TraceResult {
    int status = -1;
    std::string out, err;
    /// The output split into its lines, without the line feeds.
    std::vector<std::string> lines() const;
};

TraceResult traceLibrary(std::string_view script);
/// Feeds `script` to the binary on standard input through a file.
TraceResult traceBinary(std::string_view script);

}  // namespace vandrel::headless::testing
