// SPDX-License-Identifier: MIT
// Everything the game keeps, as plain data: the window, its scene, its menus and the game's
// variables.
//
// Form1 is built on this state and its handlers are the only code that writes it. A host (the
// window, the trace tool, the recorder, the tests) reads it through one `const Form1State&`,
// part by part where it needs less (the painter takes the scene alone), and asks the questions
// of the game's rules through Form1View instead of answering them from the fields.
#pragma once

#include <string>
#include <vector>

#include "shell/runtime/controls.h"
#include "shell/runtime/numbers.h"

namespace vandrel {

/// A point of the scene, twips.
struct Point {
    float X = 0, Y = 0;
};

/// The window itself.
struct Form1Window {
    std::string Caption;
    Color BackColor = kBlack;
    float ScaleWidth = 0, ScaleHeight = 0;  // client area, twips
};

/// The controls on the window, each fixed for the whole run.
struct Form1Scene {
    using GroundLines = ControlArray<Line, 13>;  // terrain, left end first
    using HullLines = ControlArray<Line, 9>;
    using Stars = ControlArray<Shape, 13>;

    Timer Timer1;
    Label lblPause, lblScore, lblHeight, lblThrust, lblFuel;
    Stars shpStar;
    GroundLines Ground;
    HullLines ship;
    Line Line2, Line3;  // markers outside the client area, never used
    Line Fire;          // engine flame
};

/// The menu bar, in menu order. The items know their submenus' items by address, so the menus
/// are never copied: a copy would point into the original.
struct Form1Menus {
    Form1Menus() = default;
    Form1Menus(const Form1Menus&) = delete;
    Form1Menus& operator=(const Form1Menus&) = delete;

    MenuItem mnuFile, mnuExit;
    MenuItem mnuOptions;
    MenuItem mnuGravity, mnuGNone, mnuGLow, mnuGNormal, mnuGHigh, mnuGVHigh;
    MenuItem mnuFuel, mnuF250, mnuF500, mnuF1000, mnuFOver9000;
    MenuItem mnuThrust, mnuTOn, mnuTOff;
    MenuItem mnuReset;
    MenuItem mnuHelp, mnuControls, mnuABout;
    /// The menus on the menu bar, in order; each item lists its submenu's items.
    std::vector<const MenuItem*> menuBar;
};

/// The game's variables.
struct Form1Variables {
    Currency SpeedX;         // twips per tick the scenery moves right (the ship moves left)
    Currency SpeedY;         // twips per tick the scenery moves down (the ship climbs)
    Currency Thrust;         // engine setting, also fuel burnt per firing tick
    Currency Angle;          // attitude in angle units: radians = Angle / 3.14; 4.9 is upright
    Currency Fuel;           // fuel left, in units of Thrust
    Currency Gravity;        // subtracted from SpeedY every tick
    bool EngineOn = false;   // the space bar is held
    bool GameOver = false;   // the flight ended in a landing or a crash
    bool NoLimiter = false;  // Thrust may rise above 1
    BoundedArray<bool, 2> TurnKey;  // 0: left arrow held, 1: right arrow held
};

struct Form1State : Form1Window, Form1Scene, Form1Menus, Form1Variables {};

/// The point the hull turns round, twips: the second end of the strut ship(1), which nothing
/// ever writes.
inline Point hullCentre(const Form1Scene& scene) {
    return {scene.ship(1).X2, scene.ship(1).Y2};
}

}  // namespace vandrel
