// SPDX-License-Identifier: MIT
// Where a tick's time goes: the trigonometry of one ship placement, the contact scan on its
// own, and the texts of the three readouts. Together with MoveWorld and UpdateShip these add
// up to Timer1_Timer, so a slow tick can be traced to the step that costs.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <string>

#include "bench/flight_fixture.h"
#include "flight/trig_table.h"
#include "shell/runtime/text.h"

namespace vandrel::bench {
namespace {

using P = Form1Probe;

constexpr Currency neg(Currency c) {
    return Currency::fromCount(-c.count());
}

// The angular offsets of the flame's two ends and the hull's seventeen written ends, in the
// order the ship is placed; each end needs one cosine and one sine.
constexpr std::array<Currency, 19> kPlacementOffsets = {
    0.0_cur,  0.0_cur,       neg(2.45_cur), neg(7.35_cur), 0.0_cur,
    2.45_cur, 7.35_cur,      neg(4.9_cur),  neg(7.35_cur), 4.9_cur,
    7.35_cur, 0.0_cur,       neg(2.45_cur), 0.0_cur,       2.45_cur,
    7.35_cur, neg(7.35_cur), 2.45_cur,      neg(2.45_cur)};

// The cosine and sine of each of the 19 placed ends, looked up as one ship placement takes them.
void ShipTrig(benchmark::State& state) {
    Currency angle = 4.9_cur;
    for (auto _ : state) {
        benchmark::DoNotOptimize(angle);
        for (Currency offset : kPlacementOffsets) {
            const TrigEntry& e = attitude(angle + offset);
            benchmark::DoNotOptimize(e.cos);
            benchmark::DoNotOptimize(e.sin);
        }
    }
}
BENCHMARK(ShipTrig);

// Runs a whole scan per iteration on the ground of a flight in progress.
template <class Cross>
void runScan(benchmark::State& state, Cross cross) {
    NoContactFlight flight;
    flight.tick();
    int contacts = 0;
    for (auto _ : state) {
        contacts += countContacts(flight.form(), cross);
        benchmark::DoNotOptimize(contacts);
    }
    if (contacts != 0) state.SkipWithError("the scan found a contact");
}

// All 117 pairs through the game's own test, as the tick scans them.
void ContactScan(benchmark::State& state) {
    runScan(state, P::SegmentsCross);
}
BENCHMARK(ContactScan);

// The tick's first pass over the same 117 pairs, which finds that none can meet.
void ContactFirstPass(benchmark::State& state) {
    NoContactFlight flight;
    flight.tick();
    for (auto _ : state) {
        bool possible = P::ContactPossible(flight.form());
        benchmark::DoNotOptimize(possible);
    }
    if (P::ContactPossible(flight.form())) state.SkipWithError("the first pass found a contact");
}
BENCHMARK(ContactFirstPass);

// A yardstick, not the game's test: the same arithmetic as SegmentsCross in the same
// precision, compiled inline here, either with no fault checks at all or with one comparison
// per stored Single (which also catches what a zero divisor would produce). Its scans over the
// same 117 pairs show how much of ContactScan is arithmetic and how much goes to checking and
// out-of-line calls.
template <bool kChecked>
float single(double x) {
    if constexpr (kChecked) {
        if (!(std::fabs(x) < 0x1.ffffffp+127)) [[unlikely]]
            raise(ErrorCode::Overflow);
    }
    return static_cast<float>(x);
}

template <bool kChecked>
bool crossYardstick(float ax1, float ay1, float ax2, float ay2, float bx1, float by1, float bx2,
                    float by2) {
    const float dAx = single<kChecked>(static_cast<double>(ax2) - ax1);
    const float dAy = single<kChecked>(static_cast<double>(ay2) - ay1);
    const float dBx = single<kChecked>(static_cast<double>(bx2) - bx1);
    const float dBy = single<kChecked>(static_cast<double>(by2) - by1);
    const double det = static_cast<double>(dAy) * dBx - static_cast<double>(dBy) * dAx;
    if (single<kChecked>(det) == 0.0f) return false;
    const float s = single<kChecked>(
        ((static_cast<double>(ax1) - bx1) * dAy + (static_cast<double>(by1) - ay1) * dAx) / det);
    const float t = single<kChecked>(
        ((static_cast<double>(bx1) - ax1) * dBy + (static_cast<double>(ay1) - by1) * dBx) / -det);
    return s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f;
}

void ContactScanUnchecked(benchmark::State& state) {
    runScan(state, [](auto... xy) { return crossYardstick<false>(xy...); });
}
BENCHMARK(ContactScanUnchecked);
void ContactScanInlineChecks(benchmark::State& state) {
    runScan(state, [](auto... xy) { return crossYardstick<true>(xy...); });
}
BENCHMARK(ContactScanInlineChecks);

// The readout texts as the tick builds them, from the values of a flight in progress.
void FuelText(benchmark::State& state) {
    const Regional regional = invariantRegional();
    const Currency fuel = 9876.55_cur;
    for (auto _ : state) {
        std::string text = "Fuel: " + FormatNumber(fuel, 0, Tristate::UseDefault,
                                                   Tristate::UseDefault, Tristate::False, regional);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(FuelText);

void ThrustText(benchmark::State& state) {
    const Regional regional = invariantRegional();
    const Currency thrust = 0.05_cur;
    for (auto _ : state) {
        std::string text =
            "Thrust: " + FormatNumber(thrust * std::int16_t{10}, 1, Tristate::UseDefault,
                                      Tristate::UseDefault, Tristate::UseDefault, regional);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(ThrustText);

void HeightText(benchmark::State& state) {
    const Regional regional = invariantRegional();
    const float y1 = 9012.3457f;
    for (auto _ : state) {
        float height = static_cast<float>(static_cast<double>(y1) / 100.0);
        benchmark::DoNotOptimize(height);
        std::string text = "Height: " + SingleToText(height, regional);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(HeightText);

}  // namespace
}  // namespace vandrel::bench
