// SPDX-License-Identifier: MIT
// The reset to a new flight: timer off, prompt up, state reloaded, terrain back at its start
// height but moved on sideways, one step of world motion, and the flight's flags cleared.
#include "shell/form1.h"

namespace vandrel {

void Form1::ResetGame() {
    Timer1.Enabled = false;
    lblPause.Visible = true;
    Form_Load();

    // The height reference is the far end of the last segment, designed at 6000. The last
    // segment comes last and its Y1 before its Y2, so every coordinate gets the same shift.
    const Line& last = Ground(Ground.UBound);
    for (std::int16_t i = Ground.LBound; i <= Ground.UBound; ++i) {
        Line& g = Ground(i);
        g.Y1 = toSingle(static_cast<double>(g.Y1) - (static_cast<double>(last.Y2) - 6000.0));
        g.Y2 = toSingle(static_cast<double>(g.Y2) - (static_cast<double>(last.Y2) - 6000.0));
        // Each reset shows another stretch of the terrain loop under the ship.
        g.X1 = toSingle(static_cast<double>(g.X1) + 4400.0);
        g.X2 = toSingle(static_cast<double>(g.X2) + 4400.0);
    }

    // Wraps the terrain pushed past the margin; gravity acts once, and an engine still
    // recorded as firing fires once.
    MoveWorld();

    EngineOn = false;
    for (std::int16_t i = ship.LBound; i <= ship.UBound; ++i)
        ship(i).BorderColor = kWhite;
    TurnKey(0) = false;
    TurnKey(1) = false;
    GameOver = false;
    lblPause.Caption = kStartPrompt;
}

}  // namespace vandrel
