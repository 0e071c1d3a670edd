// SPDX-License-Identifier: MIT
// The tick: the game's only clock. Every tick advances the flight by exactly one step.
#include "shell/form1.h"

namespace vandrel {

void Form1::Timer1_Timer() {
    // After a landing or a crash the timer keeps running, but nothing happens until a reset.
    if (GameOver) return;

    MoveWorld();
    UpdateShip();

    // The contact scan reads every coordinate afresh and tests all 117 pairs unless one meets.
    // Its order is the tie-break: the lowest hull index that touches wins, and of the ground
    // segments it touches, the lowest index is judged. In nearly every tick nothing meets, and
    // a first pass over all pairs, with no branch per pair, shows that; only when it finds a
    // pair that meets or would fault does the ordered scan run, pair by pair.
    const bool possible = ContactPossible();
    for (std::int16_t i = 0; possible && i < ship.size() && !GameOver; ++i) {
        for (std::int16_t j = 0; j < Ground.size(); ++j) {
            const Line& g = Ground(j);
            const Line& s = ship(i);
            if (SegmentsCross(g.X1, g.Y1, g.X2, g.Y2, s.X1, s.Y1, s.X2, s.Y2)) {
                std::int16_t touched = j;  // a copy: Touchdown cannot disturb the scan
                Touchdown(touched);
                if (GameOver) break;
            }
        }
    }

    // Also in the tick that ended the flight, once the outcome box has been closed.
    RefreshFuel();
    RefreshThrust();
    RefreshHeight();
}

}  // namespace vandrel
