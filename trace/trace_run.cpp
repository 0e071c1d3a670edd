// SPDX-License-Identifier: MIT
#include "trace/trace_run.h"

#include <algorithm>
#include <optional>
#include <string>

#include "shell/script/dump.h"
#include "shell/script/json_writer.h"
#include "shell/script/recorder.h"
#include "shell/script/script_reader.h"
#include "shell/session.h"
#include "trace/headless_platform.h"

namespace vandrel::headless {

namespace {

using Outcome = Session::Outcome;

// Output is written in pieces of about this size, so a long flight costs few system calls
// and the pending lines stay small whatever the script.
constexpr std::size_t kOutputChunk = 64 * 1024;

class Trace {
  public:
    Trace(OutputSink& out, std::ostream& err, const TraceOptions& options)
        : out_(out),
          err_(err),
          ticksLeft_(options.tickBudget),
          name_(options.scriptName),
          platform_(pending_),
          game_(platform_) {}

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
        if (const auto status = settle(game_.load())) return *status;
        ScriptReader reader(script);
        Command command;
        // Show what is written before waiting for more of the script, so that a script fed
        // by hand sees each answer; a piped or file script only flushes per read buffer.
        const auto beforeWait = [this] { flush(); };
        for (;;) {
            const ScriptReader::Result result = reader.next(command, beforeWait);
            if (result == ScriptReader::Result::End) return kExitOk;
            if (reader.lineNumber() == 1) warnOfVersion(reader.line());
            if (result == ScriptReader::Result::Malformed) return malformed(reader);
            if (const auto status = execute(command)) return *status;
            if (pending_.size() >= kOutputChunk) flush();
        }
    }

    void warnOfVersion(std::string_view firstLine) {
        const auto note = otherVersionNote(firstLine, name_.empty() ? "standard input" : name_);
        if (note) err_ << "vandrel-trace: " << *note << '\n';
    }

    int malformed(const ScriptReader& reader) {
        flush();
        err_ << "vandrel-trace: ";
        if (!name_.empty()) err_ << name_ << ": ";
        err_ << "line " << reader.lineNumber() << ": " << reader.reason() << '\n';
        err_.flush();
        return kExitScriptError;
    }

    int report(const IoError& error) {
        const bool read = error.direction == IoError::Direction::Read;
        err_ << "vandrel-trace: cannot " << (read ? "read" : "write");
        if (read && !name_.empty()) err_ << " '" << name_ << '\'';
        err_ << ": " << error.reason << '\n';
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
            appendJsonString(pending_, game_.error());
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
                return settle(game_.keyDown(command.keyCode));
            case CommandKind::Up:
                return settle(game_.keyUp(command.keyCode));
            case CommandKind::Click:
                return settle(game_.click(command.menuName));
            case CommandKind::Tick:
                return tick(command.count);
            case CommandKind::Dump:
                appendDump(pending_, game_.view(), game_.ticks());
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
            const Outcome outcome = game_.tick();
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
    std::string name_;
    std::string pending_;  // lines written but not yet passed to `out_`; boxes land here too
    HeadlessPlatform platform_;
    Session game_;
};

}  // namespace

int runTrace(ScriptSource& script, OutputSink& out, std::ostream& err,
             const TraceOptions& options) {
    Trace trace(out, err, options);
    return trace.run(script);
}

}  // namespace vandrel::headless
