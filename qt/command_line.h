// SPDX-License-Identifier: MIT
// Before the window: the command line, and the checks that a display can be had, so that
// every way the game cannot start ends with a plain sentence and a status, never an abort.
#pragma once

#include <memory>
#include <optional>
#include <string>

class QApplication;

namespace vandrel::qt {

/// What the player asked for on the command line.
struct CommandLine {
    std::string record;  // --record FILE: the flight is written to FILE (empty: not recorded)
    std::string replay;  // --replay FILE: FILE is played back first (empty: play at once)
};

/// Reads the arguments before any Qt application exists. `--help` and `--version` print on
/// standard output and give status 0; any other argument is refused on standard error with
/// status 2; then a missing graphical session is reported with status 1. No value means: go on
/// and play, as `options` says.
std::optional<int> readCommandLine(int argc, char* argv[], CommandLine& options);

/// Creates the application, named and versioned. If Qt cannot open its window platform (no X
/// server at DISPLAY, an unknown QT_QPA_PLATFORM), the program ends here with a plain message
/// on standard error and status 1.
std::unique_ptr<QApplication> openApplication(int& argc, char* argv[]);

}  // namespace vandrel::qt
