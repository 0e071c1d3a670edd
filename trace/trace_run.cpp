#include "trace/trace_run.h"

#include <algorithm>
#include <optional>
#include <string>

#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/runtime/dispatcher.h"
#include "trace/dump.h"
#include "trace/headless_platform.h"
#include "trace/json_writer.h"
#include "trace/script.h"

namespace vandrel::headless {

namespace {

using Outcome = Dispatcher::Outcome;

class Trace {
  public:
    Trace(std::ostream& out, std::ostream& err, const TraceOptions& options)
        : out_(out),
          err_(err),
          ticksLeft_(options.tickBudget),
          platform_(out),
          form_(platform_),
          dispatcher_(form_) {}

    int run(std::istream& script) {
        if (const auto status = settle(dispatcher_.load())) return finish(*status);
        std::string line;
        Command command;
        std::string reason;
        for (std::uint64_t number = 1;; ++number) {
            // Show what is written before waiting for more of the script, so that a script fed
            // by hand sees each answer; a piped or file script only flushes per read buffer.
            if (script.rdbuf() == nullptr || script.rdbuf()->in_avail() <= 0) out_.flush();
            if (!std::getline(script, line)) break;
            if (!parseLine(line, command, reason)) {
                out_.flush();
                err_ << "vandrel-trace: line " << number << ": " << reason << '\n';
                err_.flush();
                return kExitScriptError;
            }
            if (const auto status = execute(command)) return finish(*status);
        }
        return finish(kExitOk);
    }

  private:
    // The exit status when the program stops after this outcome, with its line written.
    std::optional<int> settle(Outcome outcome) {
        if (outcome == Outcome::Ended) {
            writeLine("{\"end\":\"exit\"}");
            return kExitOk;
        }
        if (outcome == Outcome::Failed) {
            line_.clear();
            line_ += "{\"error\":";
            appendJsonString(line_, dispatcher_.error());
            line_ += '}';
            writeLine(line_);
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
                line_.clear();
                appendDump(line_, Form1View(form_), dispatcher_.ticks());
                writeLine(line_);
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
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        out_.put('\n');
    }

    int finish(int status) {
        out_.flush();
        return status;
    }

    std::ostream& out_;
    std::ostream& err_;
    std::uint64_t ticksLeft_;
    HeadlessPlatform platform_;
    Form1 form_;
    Dispatcher dispatcher_;
    std::string line_;  // the output line being built, reused
};

}  // namespace

int runTrace(std::istream& script, std::ostream& out, std::ostream& err,
             const TraceOptions& options) {
    Trace trace(out, err, options);
    return trace.run(script);
}

}  // namespace vandrel::headless
