// SPDX-License-Identifier: MIT
#include "host/driver.h"

#include <cmath>
#include <utility>

#include "host/box.h"
#include "shell/game_name.h"
#include "shell/runtime/errors.h"

namespace vandrel::host {

Driver::Driver(Toolkit& toolkit, Regional regional)
    : toolkit_(toolkit),
      regional_(std::move(regional)),
      game_(*this),
      player_(game_, *this),
      scene_(game_.view(), toolkit),
      announcements_(game_.view()),
      clock_(game_.view().state().Timer1.Interval) {}

Driver::~Driver() {
    replay_.reset();
    game_.observe(nullptr);
}

void Driver::record(OutputSink& sink, Recorder::FailureHandler onFailure) {
    recorder_.emplace(sink, std::move(onFailure));
    game_.observe(&*recorder_);
}

void Driver::replay(ReplayScript script, Replay::Hooks hooks) {
    replay_.reset();
    replay_.emplace(player_, std::move(script), std::move(hooks),
                    [this] { return toolkit_.now(); });
}

void Driver::start() {
    player_.load();
    if (ended()) return;
    // A listener reads what the game shows now, and hears of later changes.
    announcements_.hearAll(game_.view());
    announce();
}

bool Driver::key(const KeyEvent& key) {
    if (!isGameKey(key) || ended()) return false;
    if (key.down) {
        player_.keyDown(*key.code, key.shiftState());
    } else {
        player_.released(*key.code, key.shiftState());
    }
    return true;
}

void Driver::click(std::string_view menuName) {
    if (!ended()) player_.click(menuName);
}

void Driver::control(std::size_t index, bool pressed) {
    if (!ended()) apply(controls_.control(index, pressed, toolkit_.now()));
    wakeWhenDue();
}

void Driver::pad(int index, const PadReading& reading) {
    if (!ended()) apply(controls_.pad(index, reading, toolkit_.now()));
    wakeWhenDue();
}

void Driver::apply(const std::vector<HeldControls::Change>& changes) {
    for (const HeldControls::Change& change : changes) {
        if (ended()) return;
        if (change.down) {
            player_.keyDown(change.key, 0);
        } else {
            player_.released(change.key, 0);
        }
    }
}

void Driver::keyboardLeft() {
    controls_.forget();
    player_.keyboardLeft();
}

void Driver::windowLeft(bool ownPopup) {
    controls_.forget();
    player_.windowLeft(ownPopup);
}

void Driver::wake() {
    if (!ended()) apply(controls_.repeats(toolkit_.now()));
    announce();
}

void Driver::tick() {
    inPeriod_ = true;
    player_.tick();
    periodEnded();
}

void Driver::frame(double now) {
    if (!clockRuns_) return;
    inPeriod_ = true;
    for (std::int64_t due = clock_.frame(now); due > 0 && clockRuns_; --due)
        player_.tick();
    periodEnded();
}

void Driver::periodEnded() {
    inPeriod_ = false;
    const std::optional<bool> fromClock = std::exchange(heldRun_, std::nullopt);
    if (fromClock && !finished_) ran(*fromClock);
}

void Driver::coloursChanged() {
    scene_.coloursChanged();
    toolkit_.changed(Pace::Event);
}

void Driver::fontsChanged() {
    scene_.fontsChanged();
    toolkit_.changed(Pace::Event);
}

void Driver::ran(bool fromClock) {
    // A replay's period may deliver thousands of events: the driver catches up with them once,
    // when the period is over, so that the screen shows and a screen reader is told what the
    // period left, not each of its events in turn.
    if (inPeriod_ && player_.replaying()) {
        heldRun_ = heldRun_.value_or(true) && fromClock;
        return;
    }
    heldRun_.reset();  // caught up with those too
    // Only what the player does changes the check marks, never a tick.
    if (!fromClock) {
        std::string marks;
        for (const MenuItem* item : game_.view().menuItems())
            marks += item->Checked ? '1' : '0';
        if (marks != checks_) {
            checks_ = std::move(marks);
            toolkit_.showChecks(checks_);
        }
    }
    runClock();
    // An event that changed nothing on the screen (a held key's repeat) does not hurry the
    // ticks' changes onto it.
    const bool changed = scene_.catchUp();
    if (!scene_.unpainted().isEmpty()) {
        toolkit_.changed(changed && !fromClock ? Pace::Event : Pace::Display);
    }
    announce();
}

void Driver::runClock() {
    const bool runs = player_.clockWanted() && !boxUp_;
    if (runs == clockRuns_) return;
    clockRuns_ = runs;
    if (runs) clock_.start(toolkit_.now());
    toolkit_.runClock(runs);
}

void Driver::announce() {
    if (!ended() && toolkit_.listening()) {
        const auto now = static_cast<std::int64_t>(std::floor(toolkit_.now()));
        const Announcements::Step step = announcements_.update(game_.view(), boxUp_, now);
        if (step.say) toolkit_.say(step.say->text, step.say->atOnce);
        heightDue_ = step.due;
        if (const std::string_view prompt = promptShown(game_.view()); prompt != described_) {
            described_ = prompt;
            toolkit_.describe(described_);
        }
    }
    wakeWhenDue();
}

void Driver::wakeWhenDue() {
    std::optional<std::int64_t> due = ended() ? std::nullopt : heightDue_;
    if (const std::optional<double> repeat = controls_.nextRepeat(); repeat && !ended()) {
        const auto at = static_cast<std::int64_t>(std::ceil(*repeat));
        if (!due || at < *due) due = at;
    }
    if (due == wakeAt_) return;
    wakeAt_ = due;
    toolkit_.wakeAt(wakeAt_);
}

int Driver::MsgBox(const std::string& prompt, int /*buttons: only OK is used*/,
                   const std::string& title) {
    // The player sees the scene as the handler left it (the green or red hull) under the box,
    // which holds the clock and takes the keyboard.
    scene_.catchUp();
    boxUp_ = true;
    runClock();
    announce();
    keyboardLeft();
    const bool answered = showBox(title, prompt);
    boxUp_ = false;
    runClock();  // a fresh period
    // The window closed under the box: nothing more of the handler runs.
    if (!answered) throw EndRequested{};
    return 1;  // OK
}

bool Driver::showBox(std::string_view title, std::string_view prompt) {
    if (finished_) return false;
    const std::string text = promptText(prompt);
    const TextSize size = toolkit_.boxSize(title, text);
    const Rect place =
        boxPlace(static_cast<int>(std::ceil(size.width)), static_cast<int>(std::ceil(size.height)),
                 sceneArea(game_.view()), keptInView(game_.view()));
    BoxKeys keys(player_.heldKeys());
    toolkit_.showBox(title, text, place);
    BoxEvent event;
    do {
        event = toolkit_.awaitBox();
    } while (!keys.answers(event));
    toolkit_.hideBox();
    return event.kind != BoxEvent::Kind::Abandoned;
}

void Driver::close() {
    player_.close();
    stop(Ending::Close);
    finish(0);
}

void Driver::exited() {
    stop(Ending::Exit);
    finish(0);
}

void Driver::failed(const std::string& prompt) {
    stop(Ending::Error);
    // The player reads what went wrong, then the program ends; closing the window under the
    // box ends it at once, as ever.
    if (showBox(kGameName, prompt)) finish(1);
}

void Driver::stop(Ending ending) {
    if (ending_) return;
    ending_ = ending;
    runClock();
    wakeWhenDue();
    if (recorder_) recorder_->end(ending);
    scene_.catchUp();
    toolkit_.changed(Pace::Event);
}

void Driver::finish(int status) {
    if (finished_) return;
    finished_ = true;
    toolkit_.ended(status);
}

}  // namespace vandrel::host
