// SPDX-License-Identifier: MIT
#include "trace/trace_run.h"

#include <algorithm>
#include <optional>
#include <string>

#include "shell/dispatcher.h"
#include "shell/form1.h"
#include "shell/form1_view.h"
#include "trace/dump.h"
#include "trace/headless_platform.h"
#include "trace/json_writer.h"
#include "trace/line_reader.h"
#include "trace/script.h"

namespace vandrel::headless {

namespace {

using Outcome = Dispatcher::Outcome;

// Output is written in pieces of about this size, so a long flight costs few system calls
// and the pending lines stay small whatever the script.
constexpr std::size_t kOutputChunk = 64 * 1024;

class Trace {
  public:
    Trace(OutputSink& out, std::ostream& err, const TraceOptions& options)
        : out_(out),
          err_(err),
          ticksLeft_(options.tickBudget),
          platform_(pending_),
          form_(platform_),
          dispatcher_(form_) {}

    int run(ScriptSource& script) {
        try {
            return finish(runScript(script));
        } catch (const IoError& error) {
            if (error.direction == IoError::Direction::Read) {
                // What the lines before wrote stays written, if it can be.
                try {
                    flush();
                } catch (const IoError& failed) {
                    return report(failed);
                }
            }
            return report(error);
        }
    }

  private:
    int runScript(ScriptSource& script) {
        if (const auto status = settle(dispatcher_.load())) return *status;
        LineReader reader(script);
        std::string_view line;
        Command command;
        std::string reason;
        // Show what is written before waiting for more of the script, so that a script fed
        // by hand sees each answer; a piped or file script only flushes per read buffer.
        const auto beforeWait = [this] { flush(); };
        for (std::uint64_t number = 1;; ++number) {
            const LineReader::Result result = reader.next(line, beforeWait);
            if (result == LineReader::Result::End) return kExitOk;
            if (result == LineReader::Result::TooLong) {
                reason = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
                return malformed(number, reason);
            }
            if (!parseLine(line, command, reason)) return malformed(number, reason);
            if (const auto status = execute(command)) return *status;
            if (pending_.size() >= kOutputChunk) flush();
        }
    }

    int malformed(std::uint64_t number, const std::string& reason) {
        flush();
        err_ << "vandrel-trace: line " << number << ": " << reason << '\n';
        err_.flush();
        return kExitScriptError;
    }

    int report(const IoError& error) {
        const bool read = error.direction == IoError::Direction::Read;
        err_ << "vandrel-trace: cannot " << (read ? "read" : "write") << ": " << error.reason
             << '\n';
        err_.flush();
        return kExitIoError;
    }

    // The exit status when the program stops after this outcome, with its line written.
    std::optional<int> settle(Outcome outcome) {
        if (outcome == Outcome::Ended) {
            writeLine("{\"end\":\"exit\"}");
            return kExitOk;
        }
        if (outcome == Outcome::Failed) {
            pending_ += "{\"error\":";
            appendJsonString(pending_, dispatcher_.error());
            pending_ += "}\n";
            return kExitRuntimeError;
        }
        return std::nullopt;
    }

    std::optional<int> execute(const Command& command) {
        switch (command.kind) {
            case CommandKind::Nothing:
                return std::nullopt;
            case CommandKind::Down:
                return settle(dispatcher_.keyDown(command.keyCode));
            case CommandKind::Up:
                return settle(dispatcher_.keyUp(command.keyCode));
            case CommandKind::Click:
                return settle(dispatcher_.click(command.menuName));
            case CommandKind::Tick:
                return tick(command.count);
            case CommandKind::Dump:
                appendDump(pending_, Form1View(form_), dispatcher_.ticks());
                pending_ += '\n';
                return std::nullopt;
            case CommandKind::Close:
                writeLine("{\"end\":\"close\"}");
                return kExitOk;
        }
        return std::nullopt;
    }

    std::optional<int> tick(std::uint64_t count) {
        count = std::min(count, ticksLeft_);
        ticksLeft_ -= count;
        for (; count > 0; --count) {
            const Outcome outcome = dispatcher_.tick();
            // A dropped tick means the timer is off, and only a handler could turn it on
            // again: the rest of the intervals pass without a tick.
            if (outcome == Outcome::Dropped) break;
            if (const auto status = settle(outcome)) return status;
        }
        return std::nullopt;
    }

    void writeLine(std::string_view text) {
        pending_ += text;
        pending_ += '\n';
    }

    void flush() {
        if (pending_.empty()) return;
        out_.write(pending_);
        pending_.clear();
    }

    int finish(int status) {
        flush();
        return status;
    }

    OutputSink& out_;
    std::ostream& err_;
    std::uint64_t ticksLeft_;
    std::string pending_;  // lines written but not yet passed to `out_`; boxes land here too
    HeadlessPlatform platform_;
    Form1 form_;
    Dispatcher dispatcher_;
};

}  // namespace

int runTrace(ScriptSource& script, OutputSink& out, std::ostream& err,
             const TraceOptions& options) {
    Trace trace(out, err, options);
    return trace.run(script);
}

}  // namespace vandrel::headless
