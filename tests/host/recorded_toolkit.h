// SPDX-License-Identifier: MIT
// The one driver on a toolkit that writes down what it is asked, for the tests of what every
// host does: each call as a line of text, boxes answered from a script of events, a clock the
// test sets.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/driver.h"
#include "tests/core/game.h"

namespace vandrel::host::test {

// Every call the driver makes, as a line of text; boxes answered from a script of events.
class Recorded : public Toolkit, public Surface {
  public:
    std::vector<std::string> calls;
    std::deque<BoxEvent> boxEvents;  // what the player does on the boxes, in turn
    double time = 0;
    double timePerReading = 0;  // how far the clock goes on each time it is read
    bool clockRuns = false;
    int clockStarts = 0;
    std::optional<int> status;

    void setFont(int, const FontChoice&) override {}
    TextSize layOut(int, std::string_view text) override {
        return {static_cast<double>(text.size()) * 6, 13};
    }
    double trialWidth(const FontChoice& font, std::string_view text) override {
        return static_cast<double>(text.size() * static_cast<std::size_t>(font.pixels)) / 2;
    }
    std::optional<Rgb> systemColour(SystemColor) override { return std::nullopt; }
    void changed(Pace) override { calls.push_back("changed"); }
    void showChecks(std::string_view marks) override {
        calls.push_back("checks " + std::string(marks));
    }
    TextSize boxSize(std::string_view, std::string_view) override { return {200, 90}; }
    void showBox(std::string_view title, std::string_view, const Rect&) override {
        calls.push_back("box " + std::string(title) + (clockRuns ? " clock on" : " clock off"));
    }
    BoxEvent awaitBox() override {
        if (boxEvents.empty()) return {};  // abandoned
        const BoxEvent event = boxEvents.front();
        boxEvents.pop_front();
        return event;
    }
    void hideBox() override { calls.push_back("hide"); }
    double now() override { return time += timePerReading; }
    void runClock(bool runs) override {
        clockRuns = runs;
        clockStarts += runs ? 1 : 0;
    }
    void wakeAt(std::optional<std::int64_t>) override {}
    void say(std::string_view text, bool) override { calls.push_back("say " + std::string(text)); }
    void describe(std::string_view) override {}
    void ended(int s) override { status = s; }

    void begin(const std::vector<Rect>& area) override {
        calls.push_back("begin " + std::to_string(area.size()));
    }
    void fill(const Rect& box, Rgb) override { calls.push_back("fill " + where(box)); }
    void line(int x1, int y1, int, int, Rgb, int width) override {
        calls.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + " w" +
                        std::to_string(width));
    }
    void oval(const Rect& box, Rgb, Rgb, int) override { calls.push_back("oval " + where(box)); }
    void text(int label, int, int, Rgb, Rgb, const std::optional<Rect>& clip) override {
        calls.push_back("text " + std::to_string(label) + (clip ? " clipped" : ""));
    }
    void end() override { calls.push_back("end"); }

    static std::string where(const Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
               std::to_string(r.width) + "x" + std::to_string(r.height);
    }
};

struct Driven {
    Recorded toolkit;
    Driver driver{toolkit, Regional{}};
    Form1State& state = Form1Probe::state(driver.game().form());

    Driven() { driver.start(); }
    bool key(std::int16_t code, bool down, bool ctrl = false) {
        KeyEvent event;
        event.code = code;
        event.down = down;
        event.ctrl = ctrl;
        return driver.key(event);
    }
    void press(std::int16_t code) {
        key(code, true);
        key(code, false);
    }
    std::vector<std::string> calls(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : toolkit.calls)
            if (call.starts_with(prefix)) found.push_back(call);
        return found;
    }
};

}  // namespace vandrel::host::test
