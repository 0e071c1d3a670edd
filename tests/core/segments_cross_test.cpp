// SPDX-License-Identifier: MIT
// The segment crossing test: ends included, parallel and degenerate segments never meet.
#include <cstdint>
#include <random>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

struct Seg {
    float x1, y1, x2, y2;
};

constexpr float kCentreX = 5280, kCentreY = 3000;  // the hull centre

Boolean cross(Seg a, Seg b) {
    return P::SegmentsCross(a.x1, a.y1, a.x2, a.y2, b.x1, b.y1, b.x2, b.y2);
}

TEST(SegmentsCross, CrossingSegmentsGiveTrueAsMinusOne) {
    EXPECT_EQ(cross({0, 0, 10, 0}, {5, -5, 5, 5}), -1);
    EXPECT_EQ(cross({5, -5, 5, 5}, {0, 0, 10, 0}), -1);  // either order
    EXPECT_EQ(cross({10, 0, 0, 0}, {5, 5, 5, -5}), -1);  // either direction
    EXPECT_EQ(cross({0, 0, 10, 10}, {0, 10, 10, 0}), -1);
    EXPECT_EQ(cross({4200, 5880, 5760, 5400}, {5280, 3240, 5282, 6000}), -1);
}

TEST(SegmentsCross, EndsAreIncluded) {
    EXPECT_EQ(cross({0, 0, 10, 0}, {10, 0, 10, 5}), -1);    // ends touching: s = 0, t = 1
    EXPECT_EQ(cross({0, 0, 10, 0}, {0, 0, -3, 7}), -1);     // first ends touching
    EXPECT_EQ(cross({0, 0, 10, 0}, {4, 0, 4, 9}), -1);      // T junction on the first
    EXPECT_EQ(cross({4, -9, 4, 9}, {0, 9, 10, 9}), -1);     // T junction on the second
    EXPECT_EQ(cross({0, 0, 10, 10}, {10, 10, 20, 0}), -1);  // a shared vertex
}

TEST(SegmentsCross, LinesThatMeetOutsideASegmentGiveFalse) {
    EXPECT_EQ(cross({0, 0, 10, 0}, {5, 1, 5, 5}), 0);     // s below 0
    EXPECT_EQ(cross({0, 0, 10, 0}, {5, -5, 5, -1}), 0);   // s above 1
    EXPECT_EQ(cross({0, 0, 10, 0}, {11, -5, 11, 5}), 0);  // t above 1
    EXPECT_EQ(cross({0, 0, 10, 0}, {-1, -5, -1, 5}), 0);  // t below 0
    EXPECT_EQ(cross({0, 0, 10, 0}, {10.001f, 0, 10.001f, 5}), 0);
}

TEST(SegmentsCross, ParallelCollinearAndZeroLengthNeverMeet) {
    EXPECT_EQ(cross({0, 0, 10, 0}, {0, 1, 10, 1}), 0);    // parallel
    EXPECT_EQ(cross({0, 0, 10, 0}, {5, 0, 15, 0}), 0);    // collinear, overlapping
    EXPECT_EQ(cross({0, 0, 10, 0}, {10, 0, 20, 0}), 0);   // collinear, end to end
    EXPECT_EQ(cross({0, 0, 10, 10}, {0, 0, 10, 10}), 0);  // identical
    EXPECT_EQ(cross({0, 0, 10, 0}, {5, 0, 5, 0}), 0);     // a point on the other
    EXPECT_EQ(cross({3, 3, 3, 3}, {0, 0, 10, 10}), 0);
    EXPECT_EQ(cross({3, 3, 3, 3}, {3, 3, 3, 3}), 0);
}

TEST(SegmentsCross, ADeterminantTooSmallForASingleCountsAsParallel) {
    // Two tiny segments crossing in an X: the determinant 2e-50 rounds to 0 as a Single.
    const float a = 1e-25f;
    EXPECT_EQ(cross({0, 0, a, a}, {0, a, a, 0}), 0);
    const float b = 1e-15f;  // 2e-30 survives
    EXPECT_EQ(cross({0, 0, b, b}, {0, b, b, 0}), -1);
}

TEST(SegmentsCross, FloatingPointFaultsAreErrors) {
    const float big = 3e38f;
    EXPECT_THROW(cross({-big, 0, big, 0}, {0, -1, 0, 1}), RuntimeError);
}

TEST(SegmentsCross, HullSegmentLyingAlongTheGroundIsNoContact) {
    // The upright cabin side runs along a vertical ground edge: collinear, so no contact.
    EXPECT_EQ(cross({5160, 2000, 5160, 4000}, {5160, 3120, 5160, 2880}), 0);
    EXPECT_EQ(cross({5000, 3120, 5600, 3120}, {5160, 3120, 5400, 3120}), 0);
}

// The tick's first pass over all pairs may only skip the ordered scan when SegmentsCross would
// find no contact and raise no fault in any of the 117 pairs.
bool anyPairMeetsOrFaults(Form1& f) {
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 13; ++j) {
            const Line& g = P::state(f).Ground(j);
            const Line& s = P::state(f).ship(i);
            try {
                if (P::SegmentsCross(g.X1, g.Y1, g.X2, g.Y2, s.X1, s.Y1, s.X2, s.Y2)) return true;
            } catch (const RuntimeError&) {
                return true;
            }
        }
    }
    return false;
}

TEST(ContactPossible, TheFirstPassMissesNoContactAndNoFault) {
    Game g;
    std::mt19937 random(20261208);
    const auto& hull = g.state.ship;
    // A point of the hull, an end or somewhere along a segment, or near one.
    auto hullPoint = [&](float& x, float& y) {
        const Line& l = hull(static_cast<int>(random() % 9));
        const float u = static_cast<float>(random() % 5) / 4;  // ends, quarters, middle
        x = l.X1 + (l.X2 - l.X1) * u;
        y = l.Y1 + (l.Y2 - l.Y1) * u;
    };
    std::uniform_real_distribution<float> spread(-600, 600);
    int possible = 0, exact = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        for (int j = 0; j < 13; ++j) {
            Line& s = g.state.Ground(j);
            hullPoint(s.X1, s.Y1);
            switch (random() % 60) {
                case 0:  // from a hull point to another: ends that touch exactly
                    hullPoint(s.X2, s.Y2);
                    break;
                case 1:  // along a hull segment: collinear
                    s.X2 = s.X1 + (hull(1).X1 - kCentreX) * 3;
                    s.Y2 = s.Y1 + (hull(1).Y1 - kCentreY) * 3;
                    break;
                case 2:  // somewhere near
                    s.X2 = s.X1 + spread(random);
                    s.Y2 = s.Y1 + spread(random);
                    break;
                case 3:  // moved off the hull by a hair
                    s.X1 += spread(random) * 1e-6f;
                    s.Y1 += spread(random) * 1e-6f;
                    s.X2 = s.X1 + spread(random);
                    s.Y2 = s.Y1;
                    break;
                default:  // elsewhere, mostly clear of the hull
                    s.X1 += spread(random) * 5;
                    s.Y1 += spread(random) * 5;
                    s.X2 = s.X1 + spread(random);
                    s.Y2 = s.Y1 + spread(random) * (random() % 2);
                    break;
            }
        }
        if (trial % 100 == 0) g.state.Ground(trial % 13).X2 = 3e38f;  // a fault
        if (trial % 100 == 1) g.state.Ground(trial % 13).Y1 = 1e30f;  // huge but whole
        const bool must = anyPairMeetsOrFaults(g.form);
        const bool may = P::ContactPossible(g.form);
        ASSERT_TRUE(may || !must) << "trial " << trial;
        possible += may;
        exact += must;
    }
    // Both outcomes were tried; the first pass errs on the safe side only near a contact.
    EXPECT_GT(exact, 2000);
    EXPECT_LT(exact, 18000);
    EXPECT_LT(possible - exact, 1000) << possible << " " << exact;
}

}  // namespace
}  // namespace vandrel::test
