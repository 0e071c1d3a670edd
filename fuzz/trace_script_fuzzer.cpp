// SPDX-License-Identifier: MIT
// Arbitrary bytes as a trace script. Besides crashes and sanitizer reports, it catches an exit
// status other than 0, 2 and 3 (an in-memory script can neither fail to be read nor its
// output to be written), or one that does not agree with what was written. A first line that
// names another version's recording must bring its warning, and only that, before the rest.
// A replay reads the same bytes in pieces, as a page is given them, and must refuse them at
// the line and for the reason the trace tool does.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/tick_budget.h"
#include "host/replay_script.h"
#include "shell/script/line_reader.h"
#include "shell/script/recorder.h"
#include "trace/trace_run.h"

namespace {

void check(bool holds) {
    if (!holds) __builtin_trap();
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Why a replay refuses `input`, read in pieces of a size the input chooses: "line N: REASON".
std::optional<std::string> replayRefusal(std::string_view input) {
    vandrel::host::ReplayReader reader("", {});
    const std::size_t piece = 1 + input.size() % 61;
    for (std::size_t at = 0; at < input.size() && reader.more(input.substr(at, piece));)
        at += piece;
    const auto read = reader.end();
    const auto* refusal = std::get_if<vandrel::host::ReplayRefusal>(&read);
    if (refusal == nullptr) return std::nullopt;
    return "line " + std::to_string(refusal->line) + ": " + refusal->reason;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vandrel::headless;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vandrel::TextSource script(input);
    vandrel::StringSink out;
    std::ostringstream err;
    TraceOptions options;
    options.tickBudget = vandrel::fuzz::ticksPerInput();
    const int status = runTrace(script, out, err, options);

    const std::string& output = out.text;
    const std::string allErrors = err.str();
    std::string_view errors = allErrors;
    const std::string_view firstLine = input.substr(0, input.find('\n'));
    if (firstLine.size() <= vandrel::kMaxLineBytes) {
        if (const auto note = vandrel::otherVersionNote(firstLine, "standard input")) {
            const std::string warning = "vandrel-trace: " + *note + '\n';
            check(startsWith(errors, warning));
            errors.remove_prefix(warning.size());
        }
    }
    check(output.empty() || output.back() == '\n');
    const std::size_t lastStart = output.rfind('\n', output.size() < 2 ? 0 : output.size() - 2);
    const std::string last = output.substr(lastStart == std::string::npos ? 0 : lastStart + 1);
    switch (status) {
        case kExitOk:
            check(errors.empty());
            break;
        case kExitScriptError:
            check(startsWith(errors, "vandrel-trace: line ") && errors.back() == '\n');
            check(errors == "vandrel-trace: " + replayRefusal(input).value_or("none") + '\n');
            break;
        case kExitRuntimeError:
            check(errors.empty() && startsWith(last, "{\"error\":\""));
            break;
        default:
            check(false);
    }
    return 0;
}
