// SPDX-License-Identifier: MIT
#include "host/replay.h"

#include <utility>

#include "shell/runtime/key_codes.h"
#include "shell/script/dump.h"

namespace vandrel::host {

namespace {

// The menu commands a player may give during a replay: leaving and the help.
bool allowedDuringReplay(std::string_view menuName) {
    return menuName == "mnuExit" || menuName == "mnuControls" || menuName == "mnuABout";
}

// The host's clock is read once every so many steps: most take a microsecond or less.
constexpr std::size_t kStepsBetweenClockReadings = 32;

}  // namespace

Replay::Replay(Player& player, ReplayScript script, Hooks hooks, std::function<double()> clock)
    : player_(player),
      script_(std::move(script)),
      hooks_(std::move(hooks)),
      clock_(std::move(clock)) {
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

bool Replay::shareDelivered(std::size_t delivered, double start) const {
    if (delivered >= kMostSteps) return true;
    return clock_ && delivered % kStepsBetweenClockReadings == 0 && delivered > 0 &&
           clock_() - start >= kPeriodShare;
}

void Replay::step() {
    delivering_ = true;
    const double start = clock_ ? clock_() : 0;
    bool ticked = false;
    for (std::size_t delivered = 0; !finished() && !player_.ended(); ++delivered) {
        // The rest waits for the next period, which goes on from here.
        if (shareDelivered(delivered, start)) break;
        std::size_t after = next_;
        const ReplayScript::Step s = script_.next(after);
        if (s.kind == CommandKind::Tick) {
            if (ticked) break;  // the next period's
            // As in the trace tool, the intervals while the timer is off pass without a tick.
            if (ticksLeft_ == 0) ticksLeft_ = s.count;
            ticked = player_.game().view().state().Timer1.Enabled;
            if (--ticksLeft_ == 0 || !ticked) {
                ticksLeft_ = 0;
                next_ = after;
            }
            if (ticked) player_.tick();
            continue;
        }
        next_ = after;
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
