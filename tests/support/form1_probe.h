// SPDX-License-Identifier: MIT
// White-box access to Form1 for the tests and benchmarks: the private procedures, and every
// field writable, so that a case can set up a state that play would take long to reach.
#pragma once

#include <cstdint>

#include "shell/form1.h"

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

    // The window and its controls.
    static float& ScaleWidth(Form1& f) { return f.ScaleWidth; }
    static float& ScaleHeight(Form1& f) { return f.ScaleHeight; }
    static Timer& Timer1(Form1& f) { return f.Timer1; }
    static Line& Ground(Form1& f, int i) { return f.Ground(i); }
    static Line& ship(Form1& f, int i) { return f.ship(i); }
    static Shape& shpStar(Form1& f, int i) { return f.shpStar(i); }
    static Line& Fire(Form1& f) { return f.Fire; }
    static Label& lblPause(Form1& f) { return f.lblPause; }
    static Label& lblScore(Form1& f) { return f.lblScore; }
    static Label& lblFuel(Form1& f) { return f.lblFuel; }
    static Label& lblThrust(Form1& f) { return f.lblThrust; }
    static Label& lblHeight(Form1& f) { return f.lblHeight; }
    /// A menu item by name; nullptr when there is none.
    static MenuItem* menuItem(Form1& f, std::string_view name);

    // The game state.
    static Currency& SpeedX(Form1& f) { return f.SpeedX; }
    static Currency& SpeedY(Form1& f) { return f.SpeedY; }
    static Currency& Thrust(Form1& f) { return f.Thrust; }
    static Currency& Angle(Form1& f) { return f.Angle; }
    static Currency& Fuel(Form1& f) { return f.Fuel; }
    static Currency& Gravity(Form1& f) { return f.Gravity; }
    static bool& EngineOn(Form1& f) { return f.EngineOn; }
    static bool& GameOver(Form1& f) { return f.GameOver; }
    static bool& NoLimiter(Form1& f) { return f.NoLimiter; }
    static bool& TurnKey(Form1& f, int i) { return f.TurnKey(i); }
};

inline MenuItem* Form1Probe::menuItem(Form1& f, std::string_view name) {
    MenuItem* all[] = {&f.mnuFile, &f.mnuExit,    &f.mnuOptions, &f.mnuGravity,   &f.mnuGNone,
                       &f.mnuGLow, &f.mnuGNormal, &f.mnuGHigh,   &f.mnuGVHigh,    &f.mnuFuel,
                       &f.mnuF250, &f.mnuF500,    &f.mnuF1000,   &f.mnuFOver9000, &f.mnuThrust,
                       &f.mnuTOn,  &f.mnuTOff,    &f.mnuReset,   &f.mnuHelp,      &f.mnuControls,
                       &f.mnuABout};
    for (MenuItem* item : all) {
        if (item->Name == name) return item;
    }
    return nullptr;
}

}  // namespace vandrel
