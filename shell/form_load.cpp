// SPDX-License-Identifier: MIT
// Start-up: the options come from the menus' check marks, the ship stands upright, the
// readouts show the start figures and the game waits for P.
//
// Form_Load runs at start-up and again inside every reset. It never touches EngineOn,
// GameOver or TurnKey: only the reset clears those.
#include "shell/form1.h"

namespace vandrel {

template <class Value, std::size_t N>
void Form1::LoadOption(const OptionGroup<Value, N>& group) {
    for (std::size_t i = 0; i + 1 < N; ++i) {
        if ((this->*group.items[i].item).Checked) {
            this->*group.variable = group.items[i].value;
            return;
        }
    }
    this->*group.variable = group.items.back().value;
}

void Form1::Form_Load() {
    // The first checked item wins; Very High, "Over 9000!" and Off are never read, they are
    // the fall-backs when nothing earlier in their group is checked.
    LoadOption(kGravityOptions);
    LoadOption(kFuelOptions);
    LoadOption(kLimiterOptions);

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
