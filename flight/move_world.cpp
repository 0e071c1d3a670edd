// SPDX-License-Identifier: MIT
// World motion: the ship stays put and the scenery moves past it.
//
// The ground lives on a band from -2500 to W + 2500 and loops: a segment that has wholly left
// the band on one side re-enters on the other, W + 5000 away. The stars wrap on the visible
// area itself. Positions move by the speeds from before this call; gravity and the engine then
// change the speeds for the next one. Every speed is added through Currency, so a coordinate
// is rounded to four decimals on each move.
#include <array>
#include <cmath>

#include "flight/pairs.h"
#include "flight/trig_table.h"
#include "shell/form1.h"

namespace vandrel {

namespace {

// A coordinate moved by a speed: converted to Currency, added exactly, converted back.
float moved(float coordinate, Currency speed) {
    return (Currency::fromSingle(coordinate) + speed).toSingle();
}

constexpr int kIndexes = 13;                  // ground segments, and stars
constexpr std::size_t kMoves = 6 * kIndexes;  // X1, X2, Left, Top, Y1, Y2 of each index

}  // namespace

bool Form1::MoveAllAtOnce() {
    // In nearly every call no ground segment wraps and nothing faults. Then the 78 moves are
    // computed two at a time into a scratch list, and written only when none of them would
    // fault; otherwise nothing has been written and the call goes one index at a time, which
    // raises where and when it must. The star wraps cannot fault and are taken first.
    //
    // Each lane is moved() to the bit: the coordinate times 10000, rounded to a whole number
    // with ties to even (adding and taking away 2^52), plus the speed's count, divided by
    // 10000. While the rounded value and the count stay below 2^52 in magnitude their sum is
    // exact in a double, just as it is in the Currency's 64 bits.
    static_assert(decltype(Ground)::size() == kIndexes && decltype(shpStar)::size() == kIndexes);
    constexpr double kTwoPow52 = 0x1p52;
    const double sx = static_cast<double>(SpeedX.count());
    const double sy = static_cast<double>(SpeedY.count());
    if (!(std::fabs(sx) < kTwoPow52 && std::fabs(sy) < kTwoPow52)) return false;

    alignas(16) std::array<double, kMoves> from;
    alignas(16) std::array<double, kMoves> speed;
    for (int i = 0; i < kIndexes; ++i) {
        const Line& g = Ground(i);
        if (g.X1 >= static_cast<double>(ScaleWidth) + 2500.0 || g.X2 <= -2500.0f) return false;
        float left = shpStar(i).Left, top = shpStar(i).Top;
        if (left <= 0.0f) {
            left = ScaleWidth;
        } else if (left >= ScaleWidth) {
            left = 0;
        } else if (top <= 0.0f) {
            top = ScaleHeight;
        } else if (top >= ScaleHeight) {
            top = 0;
        }
        const auto k = static_cast<std::size_t>(6 * i);
        const double moves[6] = {g.X1, g.X2, left, top, g.Y1, g.Y2};
        const double speeds[6] = {sx, sx, sx, sy, sy, sy};
        for (std::size_t m = 0; m < 6; ++m) {
            from[k + m] = moves[m];
            speed[k + m] = speeds[m];
        }
    }

    alignas(16) std::array<double, kMoves> to;
    Mask faults = {0, 0};
    for (std::size_t k = 0; k < kMoves; k += 2) {
        const Pair scaled = Pair{from[k], from[k + 1]} * both(10000.0);
        const Pair size = magnitude(scaled);
        faults |= ~(size < both(kTwoPow52));  // also a NaN
        const Pair count = copySign((size + both(kTwoPow52)) - both(kTwoPow52), scaled) +
                           Pair{speed[k], speed[k + 1]};
        const Pair result = count / both(10000.0);
        to[k] = result[0];
        to[k + 1] = result[1];
    }
    if ((faults[0] | faults[1]) != 0) return false;

    for (int i = 0; i < kIndexes; ++i) {
        Line& g = Ground(i);
        Shape& star = shpStar(i);
        const auto k = static_cast<std::size_t>(6 * i);
        g.X1 = static_cast<float>(to[k]);
        g.X2 = static_cast<float>(to[k + 1]);
        star.Left = static_cast<float>(to[k + 2]);
        star.Top = static_cast<float>(to[k + 3]);
        g.Y1 = static_cast<float>(to[k + 4]);
        g.Y2 = static_cast<float>(to[k + 5]);
    }
    return true;
}

void Form1::MoveWorld() {
    // Otherwise ground segment i and star i move together, one index at a time.
    const bool allMoved = MoveAllAtOnce();
    for (std::int16_t i = 0; !allMoved && i < Ground.size(); ++i) {
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
