// SPDX-License-Identifier: MIT
#include "host/replay.h"

#include <utility>

#include "shell/runtime/key_codes.h"
#include "shell/script/dump.h"
#include "shell/script/recorder.h"
#include "shell/script/script_reader.h"

namespace vandrel::host {

namespace {

// The menu commands a player may give during a replay: leaving and the help.
bool allowedDuringReplay(std::string_view menuName) {
    return menuName == "mnuExit" || menuName == "mnuControls" || menuName == "mnuABout";
}

}  // namespace

std::string Replay::Refusal::text(std::string_view name) const {
    return std::string(name) + ": line " + std::to_string(line) + ": " + reason;
}

std::variant<std::vector<Replay::Step>, Replay::Refusal> Replay::read(
    ScriptSource& source, std::string_view name,
    const std::function<void(const std::string&)>& note) {
    ScriptReader reader(source);
    std::vector<Step> steps;
    for (Command command;;) {
        const ScriptReader::Result result = reader.next(command);
        if (result == ScriptReader::Result::End) return steps;
        if (reader.lineNumber() == 1 && note) {
            if (const auto text = otherVersionNote(reader.line(), name)) note(*text);
        }
        if (result == ScriptReader::Result::Malformed) {
            return Refusal{reader.lineNumber(), reader.reason()};
        }
        if (command.kind != CommandKind::Nothing) {
            steps.push_back(
                {command.kind, command.keyCode, command.count, std::string(command.menuName)});
        }
    }
}

Replay::Replay(Player& player, std::vector<Step> steps, Hooks hooks)
    : player_(player), steps_(std::move(steps)), hooks_(std::move(hooks)) {
    if (!finished()) player_.setGate(this);
}

Replay::~Replay() {
    if (!finished()) player_.setGate(nullptr);
}

bool Replay::takesKey(std::int16_t keyCode, bool down) {
    if (delivering_) return false;
    if (keyCode == keys::kP) {
        if (down && !pauseKeyDown_) setPaused(!paused_);
        pauseKeyDown_ = down;
    }
    return true;
}

bool Replay::takesClick(std::string_view menuName) {
    return !delivering_ && !allowedDuringReplay(menuName);
}

bool Replay::takesTick() {
    if (delivering_) return false;
    step();
    return true;
}

void Replay::setPaused(bool paused) {
    paused_ = paused;
    player_.setGate(this);
}

void Replay::step() {
    delivering_ = true;
    bool ticked = false;
    while (!finished() && !player_.ended()) {
        Step& s = steps_[next_];
        if (s.kind == CommandKind::Tick) {
            if (ticked) break;  // the next period's
            // As in the trace tool, the intervals while the timer is off pass without a tick.
            if (ticksLeft_ == 0) ticksLeft_ = s.count;
            ticked = player_.game().view().state().Timer1.Enabled;
            if (--ticksLeft_ == 0 || !ticked) {
                ticksLeft_ = 0;
                ++next_;
            }
            if (ticked) player_.tick();
            continue;
        }
        ++next_;
        switch (s.kind) {
            case CommandKind::Down:
                player_.keyDown(s.keyCode, 0);
                break;
            case CommandKind::Up:
                player_.keyUp(s.keyCode, 0);
                break;
            case CommandKind::Click:
                player_.click(s.menuName);
                break;
            case CommandKind::Dump:
                if (hooks_.dump) {
                    std::string line;
                    appendDump(line, player_.game().view(), player_.game().ticks());
                    hooks_.dump(line);
                }
                break;
            case CommandKind::Close:
                if (hooks_.close) hooks_.close();
                break;
            case CommandKind::Nothing:
            case CommandKind::Tick:
                break;
        }
    }
    delivering_ = false;
    if (finished() && !player_.ended()) player_.setGate(nullptr);
}

}  // namespace vandrel::host
