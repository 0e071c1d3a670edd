// SPDX-License-Identifier: MIT
// The tick timings are only worth something if the flight they run on is the one they claim:
// engine firing, no contact anywhere, and the same ticks after every reseat.
#include "bench/flight_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "shell/form1_view.h"
#include "tests/support/form1_probe.h"

namespace vandrel::bench {
namespace {

using P = Form1Probe;

std::vector<float> terrain(Form1& f) {
    std::vector<float> ends;
    for (int j = 0; j < Form1Scene::GroundLines::size(); ++j) {
        const Line& g = P::state(f).Ground(j);
        ends.insert(ends.end(), {g.X1, g.Y1, g.X2, g.Y2});
    }
    return ends;
}

TEST(NoContactFlight, EveryTickFiresAndScansWithoutContact) {
    NoContactFlight flight;
    Form1& f = flight.form();
    for (int seat = 0; seat < 3; ++seat) {
        for (int t = 0; t < NoContactFlight::kTicksPerSeat; ++t) {
            const Currency fuelBefore = P::state(f).Fuel;
            flight.tick();
            ASSERT_TRUE(flight.intact()) << "seat " << seat << ", tick " << t;
            // The engine burnt one thrust's worth, so it really fired in this tick.
            ASSERT_EQ((fuelBefore - P::state(f).Fuel).count(), P::state(f).Thrust.count());
            ASSERT_EQ(countContacts(f, P::SegmentsCross), 0) << "seat " << seat << ", tick " << t;
        }
        flight.reseat();
    }
}

TEST(NoContactFlight, GroundStartsWellBelowTheHull) {
    NoContactFlight flight;
    float lowestHull = -1e9f;
    for (int i = 0; i < Form1Scene::HullLines::size(); ++i) {
        lowestHull = std::max(
            {lowestHull, P::state(flight.form()).ship(i).Y1, P::state(flight.form()).ship(i).Y2});
    }
    for (int j = 0; j < Form1Scene::GroundLines::size(); ++j) {
        const Line& g = P::state(flight.form()).Ground(j);
        EXPECT_GT(std::min(g.Y1, g.Y2), lowestHull + 1000.0f) << "Ground(" << j << ")";
    }
}

TEST(NoContactFlight, ReseatReplaysTheSameTicks) {
    NoContactFlight flight;
    Form1& f = flight.form();
    std::vector<std::vector<float>> first;
    for (int t = 0; t < 200; ++t) {
        flight.tick();
        first.push_back(terrain(f));
    }
    flight.reseat();
    for (int t = 0; t < 200; ++t) {
        flight.tick();
        ASSERT_EQ(terrain(f), first[static_cast<std::size_t>(t)]) << "tick " << t;
    }
    EXPECT_EQ(f.state().lblFuel.Caption, "Fuel: 9989");
}

}  // namespace
}  // namespace vandrel::bench
