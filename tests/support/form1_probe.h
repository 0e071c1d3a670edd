// SPDX-License-Identifier: MIT
// White-box access to Form1 for the tests and benchmarks: the private procedures, and the state
// writable, so that a case can set up a state that play would take long to reach.
#pragma once

#include <cstdint>

#include "shell/form1.h"
#include "shell/form1_view.h"

namespace vandrel {

struct Form1Probe {
    // Procedures.
    static void MoveWorld(Form1& f) { f.MoveWorld(); }
    static void Touchdown(Form1& f, std::int16_t index) { f.Touchdown(index); }
    static void UpdateShip(Form1& f) { f.UpdateShip(); }
    static void ResetGame(Form1& f) { f.ResetGame(); }
    static void Timer1_Timer(Form1& f) { f.Timer1_Timer(); }
    static void Form_Load(Form1& f) { f.Form_Load(); }
    static Boolean SegmentsCross(float ax1, float ay1, float ax2, float ay2, float bx1, float by1,
                                 float bx2, float by2) {
        return Form1::SegmentsCross(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2);
    }
    static bool ContactPossible(const Form1& f) { return f.ContactPossible(); }

    /// Everything the game keeps, writable.
    static Form1State& state(Form1& f) { return f; }
    /// A menu item by name; nullptr when there is none.
    static MenuItem* menuItem(Form1& f, std::string_view name) {
        // The item is the form's own, which is not const.
        return const_cast<MenuItem*>(Form1View(f.state()).menuItem(name));
    }
};

}  // namespace vandrel
