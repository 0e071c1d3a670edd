// SPDX-License-Identifier: MIT
// A whole game for one test: the game on a platform that records message boxes, its events,
// its read-only view and white-box access to the state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/runtime/key_codes.h"
#include "shell/runtime/numbers.h"
#include "shell/script/dump.h"
#include "shell/session.h"
#include "tests/support/form1_probe.h"
#include "tests/support/recording_platform.h"
#include "tests/support/window_size.h"

namespace vandrel {

// Readable Currency values in failure messages.
inline void PrintTo(const Currency& c, std::ostream* os) {
    *os << c.toDouble() << " (count " << c.count() << ")";
}

namespace test {

using P = Form1Probe;
using Outcome = Session::Outcome;

using namespace keys;

// The control arrays' sizes, as the game declares them.
inline constexpr int kGroundCount = Form1Scene::GroundLines::size();
inline constexpr int kHullCount = Form1Scene::HullLines::size();
inline constexpr int kStarCount = Form1Scene::Stars::size();

// The window's client area, twips.
inline constexpr float kW = kClientWidthTwips;
inline constexpr float kH = kClientHeightTwips;

/// A negative Currency constant: neg(4.7_cur) is -4.7.
inline Currency neg(Currency c) {
    return Currency() - c;
}

/// Every control property the game changes and every state variable, as one text: equal
/// texts mean equal games, to the last bit. It is the trace tool's state object (its floats
/// read back exactly) with the ticks left out, the properties it does not show on a first
/// line, and the check marks on a last line of their own.
inline std::string snapshot(const Form1View& v) {
    std::ostringstream o;
    auto line = [&o](const Line& l) { o << l.BorderColor << ' ' << l.Visible << ' '; };
    for (const Line& l : v.state().Ground)
        line(l);
    for (const Line& l : v.state().ship)
        line(l);
    line(v.state().Fire);
    for (const Label* l :
         {&v.state().lblFuel, &v.state().lblThrust, &v.state().lblHeight, &v.state().lblScore})
        o << l->Visible;
    o << '\n';
    std::string dump;
    appendDump(dump, v, 0);
    const std::size_t checks = dump.find(",\"checked\":");
    o << std::string_view(dump).substr(0, checks) << '\n' << std::string_view(dump).substr(checks);
    return o.str();
}

struct Game {
    RecordingPlatform platform;
    Session d{platform};
    Form1& form = d.form();
    Form1State& state = P::state(form);
    const Form1View& view = d.view();

    /// The window is created; `load` also raises Form_Load, as the runtime does at start-up.
    explicit Game(bool load = true) {
        if (load) {
            EXPECT_EQ(d.load(), Outcome::Ran);
        }
    }

    Line& ground(int i) { return state.Ground(i); }
    Line& ship(int i) { return state.ship(i); }
    Shape& star(int i) { return state.shpStar(i); }
    MenuItem& item(std::string_view name) { return *P::menuItem(form, name); }

    Outcome press(std::int16_t key) { return d.keyDown(key); }
    Outcome release(std::int16_t key) { return d.keyUp(key); }
    void ticks(int n) {
        for (int k = 0; k < n; ++k)
            d.tick();
    }
    /// Moves every ground segment far below the ship, so that only the segments a case
    /// places itself can touch the hull.
    void clearGround() {
        for (int i = 0; i < kGroundCount; ++i) {
            Line& g = ground(i);
            g.X1 = -2000.0f + 1000.0f * static_cast<float>(i);
            g.X2 = g.X1 + 1000.0f;
            g.Y1 = g.Y2 = 7000;
        }
    }
};

}  // namespace test
}  // namespace vandrel
