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

void appendState(std::string& out, const Form1View& view) {
    const std::pair<std::string_view, Currency> amounts[] = {
        {"SpeedX", view.SpeedX()}, {"SpeedY", view.SpeedY()}, {"Thrust", view.Thrust()},
        {"Angle", view.Angle()},   {"Fuel", view.Fuel()},     {"Gravity", view.Gravity()},
    };
    for (const auto& [key, amount] : amounts) {
        appendKey(out, key);
        appendCurrency(out, amount);
    }
    const std::pair<std::string_view, bool> flags[] = {
        {"EngineOn", view.EngineOn()},
        {"GameOver", view.GameOver()},
        {"NoLimiter", view.NoLimiter()},
    };
    for (const auto& [key, flag] : flags) {
        appendKey(out, key);
        appendBool(out, flag);
    }
    appendKey(out, "TurnKey");
    out += '[';
    appendBool(out, view.TurnKey(0));
    out += ',';
    appendBool(out, view.TurnKey(1));
    out += ']';
    appendKey(out, "Timer1");
    appendBool(out, view.Timer1().Enabled);
}

void appendScene(std::string& out, const Form1View& view) {
    appendKey(out, "Ground");
    out += '[';
    for (const Line& segment : view.Ground()) {
        if (out.back() != '[') out += ',';
        appendEnds(out, segment);
        out += ']';
    }
    out += ']';

    appendKey(out, "ship");
    out += '[';
    for (const Line& segment : view.ship()) {
        if (out.back() != '[') out += ',';
        appendEnds(out, segment);
        out += ',';
        appendInteger(out, segment.BorderColor);
        out += ']';
    }
    out += ']';

    appendKey(out, "Fire");
    appendEnds(out, view.Fire());
    out += ',';
    appendBool(out, view.Fire().Visible);
    out += ']';

    appendKey(out, "shpStar");
    out += '[';
    for (const Shape& star : view.shpStar()) {
        if (out.back() != '[') out += ',';
        out += '[';
        appendSingle(out, star.Left);
        out += ',';
        appendSingle(out, star.Top);
        out += ']';
    }
    out += ']';
}

void appendLabels(std::string& out, const Form1View& view) {
    const std::pair<std::string_view, const Label&> readouts[] = {
        {"lblFuel", view.lblFuel()},
        {"lblThrust", view.lblThrust()},
        {"lblHeight", view.lblHeight()},
        {"lblScore", view.lblScore()},
    };
    for (const auto& [key, label] : readouts) {
        appendKey(out, key);
        appendJsonString(out, label.Caption);
    }
    appendKey(out, "lblPause");
    out += '[';
    appendJsonString(out, view.lblPause().Caption);
    out += ',';
    appendBool(out, view.lblPause().Visible);
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
    appendState(out, view);
    appendScene(out, view);
    appendLabels(out, view);
    appendChecks(out, view);
    out += '}';
}

}  // namespace vandrel
