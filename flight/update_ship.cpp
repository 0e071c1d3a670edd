// SPDX-License-Identifier: MIT
// The ship's attitude and its hull, placed around the hull centre.
//
// The hull centre (hullCentre) is never written: every other endpoint of the hull and the
// flame is recomputed from it on each call, so the outline can never drift.
// A point at distance r and angular offset d lies at C + r * (cos, sin)((Angle + d) / 3.14),
// with (cos, sin) pointing from the centre towards the flame; the divisor is 3.14, not pi.
#include "flight/trig_table.h"
#include "shell/form1.h"

namespace vandrel {

void Form1::UpdateShip() {
    // Left first; both held cancel out, also across the wrap.
    if (TurnKey(0)) Angle = Angle == kLowestAngle ? kHighestAngle : Angle - kTurnStep;
    if (TurnKey(1)) Angle = Angle == kHighestAngle ? kLowestAngle : Angle + kTurnStep;

    const Point centre = hullCentre(*this);
    const double cx = centre.X;
    const double cy = centre.Y;
    // Each coordinate on its own: r times the cosine or sine, plus the centre, in double.
    auto place = [&](float& x, float& y, double r, Currency offset) {
        const TrigEntry& a = attitude(Angle + offset);
        x = toSingle(cx + r * a.cos);
        y = toSingle(cy + r * a.sin);
    };

    place(Fire.X1, Fire.Y1, 120, 0_cur);  // the flame's root, at the cabin floor
    // The tip: (Thrust + 0.4) times the direction, then times 500.
    const double flame = (Thrust + 0.4_cur).toDouble();
    const TrigEntry& heading = attitude(Angle);
    Fire.X2 = toSingle(cx + flame * heading.cos * 500.0);
    Fire.Y2 = toSingle(cy + flame * heading.sin * 500.0);

    place(ship(0).X2, ship(0).Y2, -170, -kDiagonal);     // cabin, upper left
    place(ship(0).X1, ship(0).Y1, -170, -kLowDiagonal);  // cabin, lower left
    place(ship(1).X1, ship(1).Y1, 240, 0_cur);           // the strut's lower end
    place(ship(2).X2, ship(2).Y2, -170, kDiagonal);      // cabin, upper right
    place(ship(2).X1, ship(2).Y1, -170, kLowDiagonal);   // cabin, lower right
    place(ship(3).X2, ship(3).Y2, -120, -kSide);         // left leg's root
    place(ship(3).X1, ship(3).Y1, -340, -kLowDiagonal);  // left foot
    place(ship(4).X2, ship(4).Y2, -120, kSide);          // right leg's root
    place(ship(4).X1, ship(4).Y1, -340, kLowDiagonal);   // right foot
    place(ship(5).X1, ship(5).Y1, -240, 0_cur);          // nose apex
    place(ship(5).X2, ship(5).Y2, -170, -kDiagonal);
    place(ship(6).X1, ship(6).Y1, -240, 0_cur);
    place(ship(6).X2, ship(6).Y2, -170, kDiagonal);
    place(ship(7).X1, ship(7).Y1, -170, kLowDiagonal);  // cabin floor
    place(ship(7).X2, ship(7).Y2, -170, -kLowDiagonal);
    place(ship(8).X1, ship(8).Y1, -170, kDiagonal);  // cabin roof
    place(ship(8).X2, ship(8).Y2, -170, -kDiagonal);
}

}  // namespace vandrel
