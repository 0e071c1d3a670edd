// World motion: the ship stays put and the scenery moves past it.
//
// The ground lives on a band from -2500 to W + 2500 and loops: a segment that has wholly left
// the band on one side re-enters on the other, W + 5000 away. The stars wrap on the visible
// area itself. Positions move by the speeds from before this call; gravity and the engine then
// change the speeds for the next one. Every speed is added through Currency, so a coordinate
// is rounded to four decimals on each move.
#include "flight/trig_table.h"
#include "shell/form1.h"

namespace vandrel {

namespace {

// A coordinate moved by a speed: converted to Currency, added exactly, converted back.
float moved(float coordinate, Currency speed) {
    return (Currency::fromSingle(coordinate) + speed).toSingle();
}

}  // namespace

void Form1::MoveWorld() {
    // Ground segment i and star i move together, one index at a time.
    static_assert(decltype(Ground)::size() == decltype(shpStar)::size());
    for (std::int16_t i = 0; i < Ground.size(); ++i) {
        Line& g = Ground(i);
        if (g.X1 >= static_cast<double>(ScaleWidth) + 2500.0) {
            // Left the band on the right: re-enter on the left on whole units, in Integer
            // arithmetic.
            const std::int16_t offset = toInteger(static_cast<double>(g.X1) - ScaleWidth);
            const std::int16_t width = toInteger(static_cast<double>(g.X2) - g.X1);
            const std::int16_t left = integerSub(offset, 5000);
            g.X1 = left;
            g.X2 = integerAdd(left, width);
        } else if (g.X2 <= -2500.0f) {
            // Left the band on the left: re-enter on the right.
            const std::int16_t overshoot = toInteger(-static_cast<double>(g.X2));
            const std::int16_t width = toInteger(static_cast<double>(g.X2) - g.X1);
            g.X2 = toSingle(static_cast<double>(ScaleWidth) + 5000.0 - overshoot);
            g.X1 = toSingle(static_cast<double>(ScaleWidth) + 5000.0 - overshoot - width);
        }

        // Only the first test that holds applies; a star out on both axes comes back
        // horizontally now and vertically on a later call.
        Shape& star = shpStar(i);
        if (star.Left <= 0.0f) {
            star.Left = ScaleWidth;
        } else if (star.Left >= ScaleWidth) {
            star.Left = 0;
        } else if (star.Top <= 0.0f) {
            star.Top = ScaleHeight;
        } else if (star.Top >= ScaleHeight) {
            star.Top = 0;
        }

        g.X1 = moved(g.X1, SpeedX);
        g.X2 = moved(g.X2, SpeedX);
        star.Left = moved(star.Left, SpeedX);
        star.Top = moved(star.Top, SpeedY);
        g.Y1 = moved(g.Y1, SpeedY);
        g.Y2 = moved(g.Y2, SpeedY);
    }

    SpeedY -= Gravity;

    if (Fuel <= 0_cur) {
        Fire.Visible = false;
    } else if (EngineOn) {
        Fire.Visible = true;
        // The scenery gains Thrust along the attitude vector, so the ship is pushed away from
        // its flame; each product is rounded to Currency before the exact addition.
        const TrigEntry& r = attitude(Angle);
        SpeedY += Currency::fromDouble(Thrust.toDouble() * r.sin);
        SpeedX += Currency::fromDouble(Thrust.toDouble() * r.cos);
        if (Thrust > 0_cur) Fuel -= Thrust;  // the last burn may take more than was left
    }
}

}  // namespace vandrel
