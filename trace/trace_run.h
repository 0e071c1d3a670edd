// SPDX-License-Identifier: MIT
// The trace tool as a function: a script in, JSON Lines out, an exit status back.
//
// It starts the game exactly as the window does (the scene is created, then Form_Load runs),
// then runs the script line by line through the Dispatcher as it is read. It keeps no global
// state and never exits the process, so tests and fuzzers can run many traces in one process.
#pragma once

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "shell/script/script_io.h"

namespace vandrel::headless {

/// The exit status of a trace.
enum ExitStatus : int {
    kExitOk = 0,
    kExitScriptError = 2,
    kExitRuntimeError = 3,
    kExitIoError = 4,
};

/// What each status means, in the words of the tool's help.
struct StatusMeaning {
    ExitStatus status;
    const char* meaning;
};
inline constexpr StatusMeaning kStatusMeanings[] = {
    {kExitOk, "the script ran to its end, or the game ended by Exit or close"},
    {kExitScriptError, "a malformed line or argument: nothing of it or after it ran"},
    {kExitRuntimeError, "an unhandled run-time error, written as {\"error\":\"...\"}"},
    {kExitIoError, "the script could not be read or the output not written"},
};

struct TraceOptions {
    /// Timer intervals beyond this many in the whole trace pass without a tick (a fuzzer keeps
    /// each input short with it).
    std::uint64_t tickBudget = std::numeric_limits<std::uint64_t>::max();
    /// The script's file name for messages; empty for standard input.
    std::string scriptName;
};

/// Runs `script` against a new game. Output lines go to `out`, written before the trace waits
/// for more of the script and before it returns. A malformed line is reported on `err` as
/// "vandrel-trace: line N: REASON", a failed read or write as "vandrel-trace: cannot read:
/// REASON" or "vandrel-trace: cannot write: REASON" (with a script name: "vandrel-trace: NAME:
/// line N: REASON", "cannot read 'NAME': REASON"); the trace stops at either. A recording made
/// by another version runs after a warning on `err`.
int runTrace(ScriptSource& script, OutputSink& out, std::ostream& err,
             const TraceOptions& options = {});

}  // namespace vandrel::headless
