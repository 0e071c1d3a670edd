// SPDX-License-Identifier: MIT
// vandrel-trace: replays a script of key, menu and timer events against the game without a
// window and writes what happens as JSON Lines. Its exit statuses are listed in its --help.
#include <unistd.h>

#include <iostream>
#include <string_view>

#include "shell/game_name.h"
#include "shell/script/fd_io.h"
#include "trace/trace_run.h"

namespace {

using namespace vandrel;
using namespace vandrel::headless;

void printHelp() {
    std::cout
        << "Usage: vandrel-trace [FILE]\n"
           "Replays a script of key, menu and timer events against "
        << vandrel::kGameName
        << " without a window, and writes\n"
           "what happens as JSON Lines on standard output. The script is FILE, or "
           "standard input\nwithout one or for -; a recording made with 'vandrel --record' is "
           "such a script.\n\n"
           "  -h, --help     Show this help and exit.\n"
           "  -v, --version  Show the version and exit.\n\n"
           "Exit status:\n";
    for (const StatusMeaning& entry : kStatusMeanings)
        std::cout << "  " << static_cast<int>(entry.status) << "  " << entry.meaning << '\n';
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string_view file;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!endOfOptions && (argument == "-h" || argument == "--help")) {
            printHelp();
            return std::cout.flush() ? kExitOk : kExitIoError;
        }
        if (!endOfOptions && (argument == "-v" || argument == "--version")) {
            std::cout << "vandrel-trace " << vandrel::kGameVersion << '\n';
            return std::cout.flush() ? kExitOk : kExitIoError;
        }
        if (!endOfOptions && argument == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && argument.size() > 1 && argument.front() == '-') {
            std::cerr << "vandrel-trace: unknown option '" << argument
                      << "'; see 'vandrel-trace --help'.\n";
            return kExitScriptError;
        } else if (!file.empty()) {
            std::cerr << "vandrel-trace: one script at a time; see 'vandrel-trace --help'.\n";
            return kExitScriptError;
        } else {
            file = argument;
        }
    }
    FdSink out(STDOUT_FILENO);
    if (file.empty() || file == "-") {
        FdSource script(STDIN_FILENO);
        return runTrace(script, out, std::cerr);
    }
    const File opened{std::string(file), File::Mode::Read};
    if (!opened.valid()) {
        std::cerr << "vandrel-trace: cannot read '" << file << "': " << opened.reason() << '\n';
        return kExitIoError;
    }
    FdSource script(opened.fd());
    TraceOptions options;
    options.scriptName = file;
    return runTrace(script, out, std::cerr, options);
}
