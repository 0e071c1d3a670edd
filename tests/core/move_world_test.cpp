// SPDX-License-Identifier: MIT
// World motion: the terrain and star wraps, motion through Currency, gravity and the engine.
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

// A loaded game with gravity off and both speeds 0, so that one call moves nothing.
struct Still : Game {
    Still() { P::state(form).Gravity = Currency(); }
    void place(int i, float x1, float x2) {
        ground(i).X1 = x1;
        ground(i).X2 = x2;
    }
    void move() { P::MoveWorld(form); }
    void expectX(int i, float x1, float x2) {
        EXPECT_EQ(ground(i).X1, x1) << "Ground " << i;
        EXPECT_EQ(ground(i).X2, x2) << "Ground " << i;
    }
};

TEST(MoveWorld, GroundWrapsAtExactlyTheMargins) {
    Still g;
    g.place(12, kW + 2500, kW + 2500 + 2482);  // left end exactly on the right margin
    g.place(0, -3700, -2500);                  // right end exactly on the left margin
    g.place(5, kW + 2499.99f, kW + 3000);
    g.place(6, -3000, -2499.99f);
    g.move();
    g.expectX(12, -2500, -18);
    g.expectX(0, kW + 1300, kW + 2500);
    g.expectX(5, kW + 2499.99f, kW + 3000);  // inside the band: left alone
    g.expectX(6, -3000, -2499.99f);
    EXPECT_EQ(g.ground(12).Y1, 4920);  // the wrap never moves a segment vertically
    EXPECT_EQ(g.ground(0).Y2, 6000);
}

TEST(MoveWorld, WrapRoundsOffsetAndWidthToWholeUnitsHalvesToEven) {
    Still g;
    // 100.4 beyond the right margin and 1200.2 wide: 100 inside the left margin, 1200 wide.
    g.place(3, kW + 2500 + 100.4f, kW + 2500 + 100.4f + 1200.2f);
    g.place(4, kW + 2500.5f, kW + 2500.5f + 1000.5f);  // offset 2500.5, width 1000.5
    g.place(8, kW + 2501.5f, kW + 2501.5f + 720);      // offset 2501.5
    g.place(9, -3701, -2500.5f);                       // overshoot 2500.5, width 1200.5
    g.move();
    g.expectX(3, -2400, -1200);
    g.expectX(4, -2500, -1500);
    g.expectX(8, -2498, -1778);
    g.expectX(9, kW + 1300, kW + 2500);
}

TEST(MoveWorld, WrapComesBeforeTheMotion) {
    Still g;
    g.state.SpeedX = 10_cur;
    g.place(12, kW + 2500, kW + 3000);
    g.place(11, kW + 2495, kW + 3000);  // crosses the margin during this call's motion
    g.move();
    g.expectX(12, -2490, -1990);
    g.expectX(11, kW + 2505, kW + 3010);
    g.move();  // ... and wraps at the start of the next one
    g.expectX(11, -2485, -1980);
}

TEST(MoveWorld, SixteenBitWrapArithmeticOverflows) {
    auto wrap = [](float offset, float width) {
        Still g;
        g.place(7, kW + offset, kW + offset + width);
        g.move();
        return std::pair{g.ground(7).X1, g.ground(7).X2};
    };
    EXPECT_EQ(wrap(32000, 5000), (std::pair{27000.0f, 32000.0f}));
    EXPECT_THROW(wrap(32000, 6000), RuntimeError);  // 32000 - 5000 + 6000
    EXPECT_THROW(wrap(40000, 100), RuntimeError);   // the offset itself
}

TEST(MoveWorld, StarsWrapOnOneAxisPerCall) {
    Still g;
    g.star(0).Left = 0;
    g.star(1).Left = kW;
    g.star(2).Top = 0;
    g.star(3).Top = kH;
    g.star(4).Left = 0;  // out on both axes at once
    g.star(4).Top = 0;
    g.move();
    EXPECT_EQ(g.star(0).Left, kW);
    EXPECT_EQ(g.star(1).Left, 0);
    EXPECT_EQ(g.star(2).Top, kH);
    EXPECT_EQ(g.star(3).Top, 0);
    EXPECT_EQ(g.star(4).Left, kW);
    EXPECT_EQ(g.star(4).Top, 0);
    g.move();  // back at the right edge, so it jumps left again before its Top is looked at
    EXPECT_EQ(g.star(4).Left, 0);
    EXPECT_EQ(g.star(4).Top, 0);

    Still h;  // a star that left at the top-left corner while drifting left
    h.state.SpeedX = neg(1_cur);
    h.star(5).Left = -5;
    h.star(5).Top = -5;
    h.move();
    EXPECT_EQ(h.star(5).Left, kW - 1);
    EXPECT_EQ(h.star(5).Top, -5);
    h.move();
    EXPECT_EQ(h.star(5).Left, kW - 2);
    EXPECT_EQ(h.star(5).Top, kH);
}

TEST(MoveWorld, EverythingMovesBySpeedsFromBeforeTheCall) {
    Game g, start;  // Normal gravity
    g.state.SpeedX = 3.5_cur;
    g.state.SpeedY = neg(2.25_cur);
    P::MoveWorld(g.form);
    for (int i = 0; i < kGroundCount; ++i) {
        const Line &a = start.ground(i), &b = g.ground(i);
        EXPECT_EQ(b.X1, a.X1 + 3.5f) << i;
        EXPECT_EQ(b.X2, a.X2 + 3.5f) << i;
        EXPECT_EQ(b.Y1, a.Y1 - 2.25f) << i;
        EXPECT_EQ(b.Y2, a.Y2 - 2.25f) << i;
        EXPECT_EQ(g.star(i).Left, start.star(i).Left + 3.5f) << i;
        EXPECT_EQ(g.star(i).Top, start.star(i).Top - 2.25f) << i;
    }
    EXPECT_EQ(g.state.SpeedY, neg(2.32_cur));
    EXPECT_EQ(g.state.SpeedX, 3.5_cur);
}

TEST(MoveWorld, CoordinatesPassThroughCurrency) {
    Still g;  // even a move by 0 rounds a coordinate to four decimals
    g.star(6).Left = 12.34567f;
    g.star(6).Top = 300.00003f;
    g.ground(2).Y1 = 0.03125f;  // exactly halfway: to even
    g.ground(2).Y2 = 0.09375f;
    g.move();
    EXPECT_EQ(g.star(6).Left, static_cast<float>(12.3457));
    EXPECT_EQ(g.star(6).Top, 300);
    EXPECT_EQ(g.ground(2).Y1, static_cast<float>(0.0312));
    EXPECT_EQ(g.ground(2).Y2, static_cast<float>(0.0938));
}

TEST(MoveWorld, EveryCoordinateMovesThroughCurrencyAtAnyMagnitude) {
    // Random coordinates from a hundred-thousandth to a thousand billion, halfway cases and
    // both signs of zero, with random speeds: every one lands where Currency puts it, whether
    // the call takes two at a time or, past 2^52 ten-thousandths, one at a time.
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> exponent(-17, 40);
    std::uniform_real_distribution<float> mantissa(-2, 2);
    std::uniform_int_distribution<std::int64_t> speed(-40'000'000, 40'000'000);
    auto coordinate = [&](int k) {
        switch (k % 8) {
            case 0:
                return 0.03125f;  // halfway between four decimals
            case 1:
                return -0.0f;
            default:
                return std::ldexp(mantissa(random), exponent(random));
        }
    };
    for (int trial = 0; trial < 300; ++trial) {
        Still g;
        g.state.SpeedX = Currency::fromCount(speed(random));
        g.state.SpeedY = Currency::fromCount(speed(random));
        std::vector<float> expected;
        for (int i = 0; i < 13; ++i) {
            Line& l = g.ground(i);
            Shape& s = g.star(i);
            l.X1 = 2500 + std::fmod(coordinate(trial + i), 2000.0f),
            l.X2 = l.X1 + 100;  // in the band
            l.Y1 = coordinate(trial + i + 1), l.Y2 = coordinate(trial + i + 2);
            s.Left = 1 + std::fabs(coordinate(trial + i + 3)) * 1e-9f;  // inside the screen
            s.Top = 1 + std::fabs(coordinate(trial + i + 4)) * 1e-9f;
        }
        auto through = [](float c, Currency v) { return (Currency::fromSingle(c) + v).toSingle(); };
        for (int i = 0; i < 13; ++i) {
            const Line& l = g.ground(i);
            const Shape& s = g.star(i);
            for (float c : {l.X1, l.X2, s.Left})
                expected.push_back(through(c, g.state.SpeedX));
            for (float c : {s.Top, l.Y1, l.Y2})
                expected.push_back(through(c, g.state.SpeedY));
        }
        g.move();
        for (int i = 0; i < 13; ++i) {
            const Line& l = g.ground(i);
            const Shape& s = g.star(i);
            const float moved[6] = {l.X1, l.X2, s.Left, s.Top, l.Y1, l.Y2};
            for (int m = 0; m < 6; ++m)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(moved[m]),
                          std::bit_cast<std::uint32_t>(expected[std::size_t(6 * i + m)]))
                    << "trial " << trial << ", index " << i << ", coordinate " << m;
        }
    }
}

TEST(MoveWorld, AMoveThatOverflowsStopsTheCallWhereItStands) {
    // Index 5's Y1 is beyond Currency's range: indexes 0 to 4 have moved, index 5 as far as
    // its star, and nothing after it.
    Still g;
    g.state.SpeedX = 1_cur;
    g.state.SpeedY = 1_cur;
    g.ground(5).Y1 = 1e15f;
    const float before4 = g.ground(4).Y2, before5 = g.star(5).Top, before6 = g.ground(6).X1;
    const float x5 = g.ground(5).X1;
    EXPECT_THROW(g.move(), RuntimeError);
    EXPECT_EQ(g.ground(4).Y2, before4 + 1);
    EXPECT_EQ(g.ground(5).X1, x5 + 1);
    EXPECT_EQ(g.star(5).Top, before5 + 1);
    EXPECT_EQ(g.ground(5).Y1, 1e15f);
    EXPECT_EQ(g.ground(6).X1, before6);
}

TEST(MoveWorld, EngineAtTheStartAttitude) {
    Game g;
    g.state.EngineOn = true;
    for (std::int16_t n = 1; n <= 3; ++n) {
        P::MoveWorld(g.form);
        EXPECT_TRUE(g.state.Fire.Visible);
        EXPECT_EQ(g.state.SpeedY, 0.08_cur * n);  // 0.15 - 0.07: the push rounds to 0.1500
        EXPECT_EQ(g.state.SpeedX, 0.0015_cur * n);
        EXPECT_EQ(g.state.Fuel, 500_cur - 0.15_cur * n);
    }
}

TEST(MoveWorld, EnginePushesAlongTheAttitude) {
    Still g;
    g.state.EngineOn = true;
    g.state.Angle = Currency();  // the flame points right: the scenery is pushed right
    g.state.Thrust = 1_cur;
    g.move();
    EXPECT_EQ(g.state.SpeedX, 1_cur);
    EXPECT_EQ(g.state.SpeedY, Currency());
    g.state.Angle = 14.9_cur;  // nearly upside down: pushed up, the ship sinks
    g.move();
    EXPECT_EQ(g.state.SpeedX, 1_cur + Currency::fromDouble(std::cos(14.9 / 3.14)));
    EXPECT_EQ(g.state.SpeedY, Currency::fromDouble(std::sin(14.9 / 3.14)));
    EXPECT_LT(g.state.SpeedY, neg(0.99_cur));
    EXPECT_EQ(g.state.Fuel, 498_cur);
}

TEST(MoveWorld, FuelRunsOutAndEndsBelowZero) {
    Game g;
    g.state.EngineOn = true;
    g.state.Fuel = 0.1_cur;
    P::MoveWorld(g.form);  // 0.1 left: fires once more
    EXPECT_EQ(g.state.Fuel, neg(0.05_cur));
    EXPECT_TRUE(g.state.Fire.Visible);
    EXPECT_EQ(g.state.SpeedY, 0.08_cur);
    P::MoveWorld(g.form);  // empty: no flame, no push, no burn
    EXPECT_EQ(g.state.Fuel, neg(0.05_cur));
    EXPECT_FALSE(g.state.Fire.Visible);
    EXPECT_EQ(g.state.SpeedY, 0.01_cur);
    EXPECT_EQ(g.state.SpeedX, 0.0015_cur);

    Game h;  // exactly 0 hides a flame even with the engine off
    h.state.Fuel = Currency();
    h.state.Fire.Visible = true;
    P::MoveWorld(h.form);
    EXPECT_FALSE(h.state.Fire.Visible);
}

TEST(MoveWorld, GravityAndAnIdleEngine) {
    Still g;
    g.state.SpeedY = 1.5_cur;
    g.state.Fire.Visible = true;
    g.move();
    g.move();
    EXPECT_EQ(g.state.SpeedY, 1.5_cur);  // no gravity: the speed is kept
    EXPECT_TRUE(g.state.Fire.Visible);   // fuel left, engine off: the flame is left alone
    g.state.Gravity = 0.28_cur;
    g.state.EngineOn = true;
    g.state.Thrust = Currency();
    g.move();
    EXPECT_EQ(g.state.SpeedY, 1.22_cur);
    EXPECT_EQ(g.state.Fuel, 500_cur);  // no thrust, no burn
}

}  // namespace
}  // namespace vandrel::test
