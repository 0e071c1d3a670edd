// SPDX-License-Identifier: MIT
// The keyboard: the handlers only record what the player holds and sets; the next tick acts
// on it. Key codes identify the key, not the character, so Shift makes no difference.
#include "shell/form1.h"
#include "shell/runtime/key_codes.h"

namespace vandrel {

namespace {

using namespace keys;

constexpr Currency kThrustStep = 0.05_cur;

}  // namespace

void Form1::Form_KeyDown(std::int16_t& KeyCode, std::int16_t /*Shift*/) {
    // After a landing or a crash only R still acts.
    if (!GameOver) {
        if (KeyCode == kLeft) {
            TurnKey(0) = true;
        } else if (KeyCode == kRight) {
            TurnKey(1) = true;
        }

        // The limiter caps the thrust at exactly 1.00; the floor of 0.05 holds either way.
        if (KeyCode == kUp && (Thrust < 1_cur || NoLimiter)) {
            Thrust += kThrustStep;
        } else if (KeyCode == kDown && Thrust > kThrustStep) {
            Thrust -= kThrustStep;
        } else if (KeyCode == kSpace) {
            EngineOn = true;  // the next tick shows the flame if fuel is left
        }

        if (KeyCode == kP) {
            if (Timer1.Enabled) {
                lblPause.Caption = "Paused";
                Timer1.Enabled = false;
                lblPause.Visible = true;
            } else {
                // Start or resume; the prompt keeps its caption while hidden.
                Timer1.Enabled = true;
                lblPause.Visible = false;
            }
        }
    }

    if (KeyCode == kR) ResetGame();
}

void Form1::Form_KeyUp(std::int16_t& KeyCode, std::int16_t /*Shift*/) {
    // The flame goes out at once, without waiting for a tick; after the flight has ended the
    // engine flag stays as it was until the reset clears it.
    if (!GameOver && KeyCode == kSpace) {
        EngineOn = false;
        Fire.Visible = false;
    }

    if (KeyCode == kLeft) {
        TurnKey(0) = false;
    } else if (KeyCode == kRight) {
        TurnKey(1) = false;
    }
}

}  // namespace vandrel
