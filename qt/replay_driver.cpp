// SPDX-License-Identifier: MIT
#include "qt/replay_driver.h"

#include <cstdio>
#include <utility>

#include "shell/runtime/key_codes.h"
#include "shell/script/dump.h"
#include "shell/script/recorder.h"
#include "shell/script/script_reader.h"
#include "trace/fd_io.h"

namespace vandrel::qt {

namespace {

// The menu commands a player may give during a replay: leaving and the help.
bool allowedDuringReplay(std::string_view menuName) {
    return menuName == "mnuExit" || menuName == "mnuControls" || menuName == "mnuABout";
}

}  // namespace

std::optional<std::vector<ReplayDriver::Step>> ReplayDriver::read(const std::string& path) {
    const headless::File file(path, headless::File::Mode::Read);
    std::string reason = file.reason();
    std::vector<Step> steps;
    if (file.valid()) {
        try {
            headless::FdSource source(file.fd());
            ScriptReader reader(source);
            for (Command command;;) {
                const ScriptReader::Result result = reader.next(command);
                if (result == ScriptReader::Result::End) return steps;
                if (reader.lineNumber() == 1) {
                    if (const auto note = otherVersionNote(reader.line(), path))
                        std::fprintf(stderr, "vandrel: %s\n", note->c_str());
                }
                if (result == ScriptReader::Result::Malformed) {
                    std::fprintf(stderr, "vandrel: %s: line %llu: %s\n", path.c_str(),
                                 static_cast<unsigned long long>(reader.lineNumber()),
                                 reader.reason().c_str());
                    return std::nullopt;
                }
                if (command.kind != CommandKind::Nothing) {
                    steps.push_back({command.kind, command.keyCode, command.count,
                                     std::string(command.menuName)});
                }
            }
        } catch (const IoError& error) {
            reason = error.reason;
        }
    }
    std::fprintf(stderr, "vandrel: cannot read '%s': %s\n", path.c_str(), reason.c_str());
    return std::nullopt;
}

ReplayDriver::ReplayDriver(GameWindow& window, std::vector<Step> steps)
    : window_(window), steps_(std::move(steps)) {
    if (!finished()) window_.setPlayerGate(this);
}

ReplayDriver::~ReplayDriver() {
    if (!finished()) window_.setPlayerGate(nullptr);
}

bool ReplayDriver::takesKey(std::int16_t keyCode, bool down) {
    if (delivering_) return false;
    if (keyCode == keys::kP) {
        if (down && !pauseKeyDown_) setPaused(!paused_);
        pauseKeyDown_ = down;
    }
    return true;
}

bool ReplayDriver::takesClick(std::string_view menuName) {
    return !delivering_ && !allowedDuringReplay(menuName);
}

bool ReplayDriver::takesTick() {
    if (delivering_) return false;
    step();
    return true;
}

void ReplayDriver::setPaused(bool paused) {
    paused_ = paused;
    window_.setPlayerGate(this);
}

void ReplayDriver::step() {
    delivering_ = true;
    bool ticked = false;
    while (!finished() && !window_.ended()) {
        Step& s = steps_[next_];
        if (s.kind == CommandKind::Tick) {
            if (ticked) break;  // the next period's
            // As in the trace tool, the intervals while the timer is off pass without a tick.
            if (ticksLeft_ == 0) ticksLeft_ = s.count;
            ticked = window_.game().view().state().Timer1.Enabled;
            if (--ticksLeft_ == 0 || !ticked) {
                ticksLeft_ = 0;
                ++next_;
            }
            if (ticked) window_.tick();
            continue;
        }
        ++next_;
        switch (s.kind) {
            case CommandKind::Down:
                window_.keyDown(s.keyCode, 0);
                break;
            case CommandKind::Up:
                window_.keyUp(s.keyCode, 0);
                break;
            case CommandKind::Click:
                window_.click(s.menuName);
                break;
            case CommandKind::Dump: {
                std::string line;
                appendDump(line, window_.game().view(), window_.game().ticks());
                line += '\n';
                std::fwrite(line.data(), 1, line.size(), stdout);
                std::fflush(stdout);
                break;
            }
            case CommandKind::Close:
                window_.close();
                break;
            case CommandKind::Nothing:
            case CommandKind::Tick:
                break;
        }
    }
    delivering_ = false;
    if (finished()) finish();
}

void ReplayDriver::finish() {
    if (window_.ended()) return;
    window_.setPlayerGate(nullptr);
}

}  // namespace vandrel::qt
