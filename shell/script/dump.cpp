// SPDX-License-Identifier: MIT
#include "shell/script/dump.h"

#include <string_view>
#include <utility>

#include "shell/script/json_writer.h"

namespace vandrel {

namespace {

// `"key":`, preceded by a comma unless it opens its object.
void appendKey(std::string& out, std::string_view key, bool first = false) {
    if (!first) out += ',';
    out += '"';
    out += key;
    out += "\":";
}

// A line's two ends as the start of a JSON array, left open for any columns that follow.
void appendEnds(std::string& out, const Line& line) {
    out += '[';
    for (float coordinate : {line.X1, line.Y1, line.X2, line.Y2}) {
        if (out.back() != '[') out += ',';
        appendSingle(out, coordinate);
    }
}

void appendState(std::string& out, const Form1State& s) {
    const std::pair<std::string_view, Currency> amounts[] = {
        {"SpeedX", s.SpeedX}, {"SpeedY", s.SpeedY}, {"Thrust", s.Thrust},
        {"Angle", s.Angle},   {"Fuel", s.Fuel},     {"Gravity", s.Gravity},
    };
    for (const auto& [key, amount] : amounts) {
        appendKey(out, key);
        appendCurrency(out, amount);
    }
    const std::pair<std::string_view, bool> flags[] = {
        {"EngineOn", s.EngineOn},
        {"GameOver", s.GameOver},
        {"NoLimiter", s.NoLimiter},
    };
    for (const auto& [key, flag] : flags) {
        appendKey(out, key);
        appendBool(out, flag);
    }
    appendKey(out, "TurnKey");
    out += '[';
    appendBool(out, s.TurnKey(0));
    out += ',';
    appendBool(out, s.TurnKey(1));
    out += ']';
    appendKey(out, "Timer1");
    appendBool(out, s.Timer1.Enabled);
}

void appendScene(std::string& out, const Form1Scene& s) {
    appendKey(out, "Ground");
    out += '[';
    for (const Line& segment : s.Ground) {
        if (out.back() != '[') out += ',';
        appendEnds(out, segment);
        out += ']';
    }
    out += ']';

    appendKey(out, "ship");
    out += '[';
    for (const Line& segment : s.ship) {
        if (out.back() != '[') out += ',';
        appendEnds(out, segment);
        out += ',';
        appendInteger(out, segment.BorderColor);
        out += ']';
    }
    out += ']';

    appendKey(out, "Fire");
    appendEnds(out, s.Fire);
    out += ',';
    appendBool(out, s.Fire.Visible);
    out += ']';

    appendKey(out, "shpStar");
    out += '[';
    for (const Shape& star : s.shpStar) {
        if (out.back() != '[') out += ',';
        out += '[';
        appendSingle(out, star.Left);
        out += ',';
        appendSingle(out, star.Top);
        out += ']';
    }
    out += ']';
}

void appendLabels(std::string& out, const Form1Scene& s) {
    const std::pair<std::string_view, const Label&> readouts[] = {
        {"lblFuel", s.lblFuel},
        {"lblThrust", s.lblThrust},
        {"lblHeight", s.lblHeight},
        {"lblScore", s.lblScore},
    };
    for (const auto& [key, label] : readouts) {
        appendKey(out, key);
        appendJsonString(out, label.Caption);
    }
    appendKey(out, "lblPause");
    out += '[';
    appendJsonString(out, s.lblPause.Caption);
    out += ',';
    appendBool(out, s.lblPause.Visible);
    out += ']';
}

void appendChecks(std::string& out, const Form1View& view) {
    appendKey(out, "checked");
    out += '{';
    for (const MenuItem* item : view.optionItems()) {
        appendKey(out, item->Name, out.back() == '{');
        appendBool(out, item->Checked);
    }
    out += '}';
}

}  // namespace

void appendDump(std::string& out, const Form1View& view, std::uint64_t ticks) {
    out += '{';
    appendKey(out, "ticks", true);
    appendInteger(out, static_cast<std::int64_t>(ticks));
    appendState(out, view.state());
    appendScene(out, view.state());
    appendLabels(out, view.state());
    appendChecks(out, view);
    out += '}';
}

}  // namespace vandrel
