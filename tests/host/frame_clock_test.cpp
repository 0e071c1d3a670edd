// SPDX-License-Identifier: MIT
// The clock that display frames drive: exactly a tick a period over time at every display
// rate, and never a burst after a stall.
#include <gtest/gtest.h>

#include "host/frame_clock.h"

namespace vandrel::host::test {
namespace {

TEST(FrameClock, KeepsTheRateAtEveryDisplayRate) {
    for (const double hertz : {60.0, 75.0, 120.0, 144.0, 59.94}) {
        FrameClock clock(10);
        const double start = 123456.789;  // the page's clock runs from its load
        clock.start(start);
        std::int64_t ticks = 0, most = 0;
        for (int frame = 1; frame <= static_cast<int>(10 * hertz); ++frame) {
            const std::int64_t due = clock.frame(start + frame * 1000.0 / hertz);
            ticks += due;
            most = std::max(most, due);
        }
        EXPECT_NEAR(static_cast<double>(ticks), 1000, 1) << hertz;  // 10 s
        EXPECT_LE(most, 2) << hertz;
    }
}

TEST(FrameClock, AStallRaisesOneTickAndKeepsThePhase) {
    FrameClock clock(10);
    clock.start(0);
    EXPECT_EQ(clock.frame(5), 0);
    EXPECT_EQ(clock.frame(21), 2);    // 10 and 20
    EXPECT_EQ(clock.frame(40), 2);    // 30 and 40: a frame just under a stall late
    EXPECT_EQ(clock.frame(1040), 1);  // a hidden tab: one tick for the second missed
    EXPECT_EQ(clock.frame(1049), 0);  // the ticks keep their phase: 1050 is next
    EXPECT_EQ(clock.frame(1050), 1);
    clock.start(1053);  // a fresh period
    EXPECT_EQ(clock.frame(1062), 0);
    EXPECT_EQ(clock.frame(1063), 1);
}

}  // namespace
}  // namespace vandrel::host::test
