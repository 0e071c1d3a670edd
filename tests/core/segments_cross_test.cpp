// The segment crossing test: ends included, parallel and degenerate segments never meet.
#include "tests/core/game.h"

namespace vandrel::test {
namespace {

struct Seg {
    float x1, y1, x2, y2;
};

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

}  // namespace
}  // namespace vandrel::test
