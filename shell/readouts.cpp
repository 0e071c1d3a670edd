// SPDX-License-Identifier: MIT
// The readouts in the top-left corner. Each text is built here for every place that
// refreshes it: start-up, the end of each tick, the fuel menu items and a landing. Each caption
// is rewritten in place, in the storage it already has: every tick refreshes three of them.
#include "shell/form1.h"
#include "shell/runtime/text.h"

namespace vandrel {

void Form1::RefreshFuel() {
    // Never grouped, so that 9999 shows as it is; the last burn can leave it below zero.
    lblFuel.Caption.assign("Fuel: ") += FormatNumber(
        Fuel, 0, Tristate::UseDefault, Tristate::UseDefault, Tristate::False, platform_.regional());
}

void Form1::RefreshThrust() {
    // Thrust moves in steps of 0.05, so ten times it always shows exactly with one decimal.
    lblThrust.Caption.assign("Thrust: ") +=
        FormatNumber(Thrust * std::int16_t{10}, 1, Tristate::UseDefault, Tristate::UseDefault,
                     Tristate::UseDefault, platform_.regional());
}

void Form1::RefreshHeight() {
    // The window position of the terrain point Ground(1).Y1, not the ship's altitude.
    float height = toSingle(checkedDivide(static_cast<double>(Ground(1).Y1), 100.0));
    lblHeight.Caption.assign("Height: ") += SingleToText(height, platform_.regional());
}

}  // namespace vandrel
