// SPDX-License-Identifier: MIT
// The ship's attitude and hull geometry: turning, the flame, the nine hull segments.
#include <bit>
#include <cmath>
#include <cstdint>

#include "flight/trig_table.h"
#include "tests/core/game.h"
#include "tests/core/scene_data.h"

namespace vandrel::test {
namespace {

constexpr float kCx = 5280, kCy = 3000;  // the hull centre

// One coordinate of the point at distance r and offset d (ten-thousandths of an angle unit)
// from the hull centre, with the same operations in the same order as the game's rule.
float place(float c, double (*trig)(double), Currency angle, double r, std::int64_t d) {
    const double a = (angle + Currency::fromCount(d)).toDouble() / 3.14;
    return static_cast<float>(static_cast<double>(c) + r * trig(a));
}

// clang-format off
/// Each hull segment's first end, then its second end, as r and d.
constexpr struct { double r1; std::int64_t d1; double r2; std::int64_t d2; } kHull[kHullCount] = {
    {-170, -73500, -170, -24500}, {240, 0, 0, 0},             {-170, 73500, -170, 24500},
    {-340, -73500, -120, -49000}, {-340, 73500, -120, 49000}, {-240, 0, -170, -24500},
    {-240, 0, -170, 24500},       {-170, 73500, -170, -73500}, {-170, 24500, -170, -24500}};
// clang-format on

void expectPlaced(const Game& g) {
    const Currency a = g.state.Angle;
    double (*cos)(double) = std::cos;
    double (*sin)(double) = std::sin;
    for (int i = 0; i < kHullCount; ++i) {
        const Line& l = g.state.ship(i);
        EXPECT_EQ(l.X1, place(kCx, cos, a, kHull[i].r1, kHull[i].d1)) << "ship " << i;
        EXPECT_EQ(l.Y1, place(kCy, sin, a, kHull[i].r1, kHull[i].d1)) << "ship " << i;
        if (i == 1) continue;  // the hull centre itself is never written
        EXPECT_EQ(l.X2, place(kCx, cos, a, kHull[i].r2, kHull[i].d2)) << "ship " << i;
        EXPECT_EQ(l.Y2, place(kCy, sin, a, kHull[i].r2, kHull[i].d2)) << "ship " << i;
    }
    const Line& fire = g.state.Fire;
    EXPECT_EQ(fire.X1, place(kCx, cos, a, 120, 0));
    EXPECT_EQ(fire.Y1, place(kCy, sin, a, 120, 0));
    // The tip: thrust + 0.4, times the cosine (or sine), then times 500.
    const double tip = (g.state.Thrust + 0.4_cur).toDouble();
    const double rad = a.toDouble() / 3.14;
    EXPECT_EQ(fire.X2, static_cast<float>(kCx + tip * std::cos(rad) * 500));
    EXPECT_EQ(fire.Y2, static_cast<float>(kCy + tip * std::sin(rad) * 500));
}

TEST(UpdateShip, EveryEndpointFollowsThePlacingRuleAtAnyAttitude) {
    Game g;
    for (Currency a : {4.9_cur, neg(4.7_cur), 14.9_cur, 0.1_cur, 9.7_cur, 4.5_cur}) {
        for (Currency t : {0.05_cur, 0.15_cur, 1_cur, 37.45_cur}) {
            g.state.Angle = a;
            g.state.Thrust = t;
            P::UpdateShip(g.form);
            SCOPED_TRACE(a.toDouble());
            expectPlaced(g);
            EXPECT_EQ(g.state.ship(1).X2, kCx);
            EXPECT_EQ(g.state.ship(1).Y2, kCy);
            EXPECT_EQ(g.view.hullCentre().X, kCx);
            EXPECT_EQ(g.view.hullCentre().Y, kCy);
        }
    }
}

TEST(UpdateShip, TheOutlineIsClosedAtEveryAttitude) {
    Game g;
    auto same = [](float x1, float y1, float x2, float y2) { return x1 == x2 && y1 == y2; };
    for (int k = -48; k <= 50; k += 7) {
        g.state.Angle = 4.9_cur + 0.2_cur * static_cast<std::int16_t>(k);
        P::UpdateShip(g.form);
        const auto& s = g.state.ship;
        EXPECT_TRUE(same(s(0).X2, s(0).Y2, s(5).X2, s(5).Y2)) << k;  // upper left corner
        EXPECT_TRUE(same(s(0).X2, s(0).Y2, s(8).X2, s(8).Y2)) << k;
        EXPECT_TRUE(same(s(2).X2, s(2).Y2, s(6).X2, s(6).Y2)) << k;  // upper right corner
        EXPECT_TRUE(same(s(2).X2, s(2).Y2, s(8).X1, s(8).Y1)) << k;
        EXPECT_TRUE(same(s(0).X1, s(0).Y1, s(7).X2, s(7).Y2)) << k;  // lower left corner
        EXPECT_TRUE(same(s(2).X1, s(2).Y1, s(7).X1, s(7).Y1)) << k;  // lower right corner
        EXPECT_TRUE(same(s(5).X1, s(5).Y1, s(6).X1, s(6).Y1)) << k;  // nose apex
    }
}

TEST(UpdateShip, UprightHullMatchesItsDrawing) {
    Game g;  // Form_Load placed the ship at 4.9
    for (int i = 0; i < kHullCount; ++i) {
        const Line& l = g.state.ship(i);
        const bool swapped = i == 3 || i == 5 || i == 7;  // drawn the other way round
        const float* d = kShip[i];
        EXPECT_LE(std::hypot(l.X1 - d[swapped ? 2 : 0], l.Y1 - d[swapped ? 3 : 1]), 9) << i;
        EXPECT_LE(std::hypot(l.X2 - d[swapped ? 0 : 2], l.Y2 - d[swapped ? 1 : 3]), 9) << i;
    }
    // The left leg's root: its offset cancels the attitude exactly.
    EXPECT_EQ(g.state.ship(3).X2, 5160);
    EXPECT_EQ(g.state.ship(3).Y2, 3000);
    // 0.59 degrees short of the vertical: the nose leans left, the strut's foot right.
    EXPECT_LT(g.state.ship(5).X1, kCx);
    EXPECT_GT(g.state.ship(1).X1, kCx);
}

TEST(UpdateShip, FlameLengthFollowsTheThrustAndKeepsItsVisibility) {
    Game g;
    g.state.Fire.Visible = true;
    g.ship(4).BorderColor = kGreen;
    for (auto [thrust, tip] : {std::pair{0.05_cur, 225}, {0.15_cur, 275}, {1_cur, 700}}) {
        g.state.Thrust = thrust;
        P::UpdateShip(g.form);
        const Line& f = g.state.Fire;
        EXPECT_NEAR(std::hypot(f.X2 - kCx, f.Y2 - kCy), tip, 1e-3);
        EXPECT_NEAR(std::hypot(f.X1 - kCx, f.Y1 - kCy), 120, 1e-3);
        EXPECT_GT(f.Y2, f.Y1);  // below the centre, pointing down
    }
    EXPECT_TRUE(g.state.Fire.Visible);  // placing changes no visibility or colour
    EXPECT_EQ(g.state.ship(4).BorderColor, kGreen);
}

TEST(UpdateShip, TurningStepsAndWrapsExactly) {
    struct Case {
        Currency from;
        bool left, right;
        Currency to;
    };
    const Case cases[] = {{4.9_cur, false, false, 4.9_cur},
                          {4.9_cur, true, false, 4.7_cur},
                          {4.9_cur, false, true, 5.1_cur},
                          {neg(4.7_cur), true, false, 14.9_cur},
                          {14.9_cur, false, true, neg(4.7_cur)},
                          {neg(4.5_cur), true, false, neg(4.7_cur)},
                          {14.7_cur, false, true, 14.9_cur},
                          // Both keys: left first, so the ends wrap and come straight back.
                          {neg(4.7_cur), true, true, neg(4.7_cur)},
                          {14.9_cur, true, true, 14.9_cur},
                          {4.9_cur, true, true, 4.9_cur}};
    for (const Case& c : cases) {
        Game g;
        g.state.Angle = c.from;
        g.state.TurnKey(0) = c.left;
        g.state.TurnKey(1) = c.right;
        P::UpdateShip(g.form);
        EXPECT_EQ(g.state.Angle, c.to) << c.from.toDouble() << c.left << c.right;
        EXPECT_EQ(g.state.TurnKey(0), c.left);  // read, never written
    }
    Game g;  // 99 steps make one turn, exactly back on the start attitude
    g.state.TurnKey(1) = true;
    for (int k = 0; k < 99; ++k)
        P::UpdateShip(g.form);
    EXPECT_EQ(g.state.Angle, 4.9_cur);
}

// The game's own cosine and sine: one table entry per angle, each the correctly rounded value
// (scripts/gen_trig_table.py --check proves that in high precision; CTest runs it).
TEST(Attitude, EveryEntryIsTheGamesRadiansAndTheCLibrarysCosineAndSine) {
    for (std::size_t n = 0; n < kTrigTable.size(); ++n) {
        const Currency angle = Currency::fromCount(kTrigLowestCount + kTrigStep * std::int64_t(n));
        const double radians = angle.toDouble() / 3.14;  // as the game forms it
        const TrigEntry& e = attitude(angle);
        EXPECT_EQ(&e, &kTrigTable[n]);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(e.radians), std::bit_cast<std::uint64_t>(radians))
            << angle.count();
        // Bit for bit, so that a sign of zero counts too.
        EXPECT_EQ(std::bit_cast<std::uint64_t>(e.cos),
                  std::bit_cast<std::uint64_t>(std::cos(radians)))
            << angle.count();
        EXPECT_EQ(std::bit_cast<std::uint64_t>(e.sin),
                  std::bit_cast<std::uint64_t>(std::sin(radians)))
            << angle.count();
    }
}

TEST(Attitude, EveryAngleTheGameTurnsToIsInTheTable) {
    // Every attitude, turned to by the arrow keys through both wrap-arounds, with every offset.
    Game g;
    g.state.TurnKey(1) = true;
    int lookups = 0;
    for (int k = 0; k < 99; ++k) {
        for (Currency d :
             {0_cur, 2.45_cur, neg(2.45_cur), 4.9_cur, neg(4.9_cur), 7.35_cur, neg(7.35_cur)}) {
            const Currency angle = g.state.Angle + d;
            EXPECT_EQ(attitude(angle).radians, angle.toDouble() / 3.14);
            ++lookups;
        }
        P::UpdateShip(g.form);
    }
    EXPECT_EQ(lookups, 99 * 7);
    EXPECT_EQ(kTrigTable.front().radians, neg(12.05_cur).toDouble() / 3.14);
    EXPECT_EQ(kTrigTable.back().radians, (22.25_cur).toDouble() / 3.14);
}

TEST(Attitude, AnAngleOffTheTableIsAFaultNeverAGuess) {
    auto fault = [](Currency angle) {
        try {
            attitude(angle);
        } catch (const RuntimeError& e) {
            return e.code() == ErrorCode::SubscriptOutOfRange;
        }
        return false;
    };
    EXPECT_TRUE(fault(4.91_cur));                        // between two entries
    EXPECT_TRUE(fault(Currency::fromCount(49001)));      // one ten-thousandth off
    EXPECT_TRUE(fault(neg(12.1_cur)));                   // one step below the lowest
    EXPECT_TRUE(fault(22.3_cur));                        // one step above the highest
    EXPECT_TRUE(fault(Currency::fromCount(INT64_MIN)));  // no overflow in the index either
    EXPECT_FALSE(fault(neg(12.05_cur)));
    EXPECT_FALSE(fault(22.25_cur));

    // Through the game: an attitude off the lattice stops the tick with the runtime's error.
    Game g;
    g.state.Angle = 4.91_cur;
    EXPECT_THROW(P::UpdateShip(g.form), RuntimeError);
    g.state.EngineOn = true;
    EXPECT_THROW(P::MoveWorld(g.form), RuntimeError);
}

}  // namespace
}  // namespace vandrel::test
