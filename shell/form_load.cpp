// Start-up: the options come from the menus' check marks, the ship stands upright, the
// readouts show the start figures and the game waits for P.
//
// Form_Load runs at start-up and again inside every reset. It never touches EngineOn,
// GameOver or TurnKey: only the reset clears those.
#include "shell/form1.h"

namespace vandrel {

void Form1::Form_Load() {
    // The first checked item wins; Very High and "Over 9000!" are never read, they are the
    // fallbacks when nothing earlier is checked.
    if (mnuGNone.Checked) {
        Gravity = 0_cur;
    } else if (mnuGLow.Checked) {
        Gravity = 0.03_cur;
    } else if (mnuGNormal.Checked) {
        Gravity = 0.07_cur;
    } else if (mnuGHigh.Checked) {
        Gravity = 0.14_cur;
    } else {
        Gravity = 0.28_cur;
    }

    if (mnuF250.Checked) {
        Fuel = 250_cur;
    } else if (mnuF500.Checked) {
        Fuel = 500_cur;
    } else if (mnuF1000.Checked) {
        Fuel = 1000_cur;
    } else {
        Fuel = 9999_cur;
    }

    NoLimiter = !mnuTOn.Checked;

    Angle = 4.9_cur;
    // Placed before Thrust is set: the flame is sized for the thrust of the flight before
    // (0 at the very first load), and an arrow key still held turns the ship one step.
    UpdateShip();
    SpeedX = 0_cur;
    SpeedY = 0_cur;
    Thrust = 0.15_cur;

    lblScore.Caption = "Score: ";
    RefreshFuel();
    RefreshThrust();
    RefreshHeight();

    Timer1.Enabled = false;
}

}  // namespace vandrel
