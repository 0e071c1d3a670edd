// SPDX-License-Identifier: MIT
// Timings of the flight kernels and of one whole tick.
//
// Run: build/vandrel-bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
// and read the medians. Every case works on a real Form1, through the same procedures the timer
// runs; nothing here caches geometry or skips a pair of the contact scan.
#include <benchmark/benchmark.h>

#include "bench/flight_fixture.h"
#include "tests/support/form1_probe.h"

namespace vandrel::bench {
namespace {

using P = Form1Probe;

// Runs `step` once per iteration on a no-contact flight, reseating it outside the timed
// region before it could come near the ground or run dry.
template <class Step>
void runFlight(benchmark::State& state, NoContactFlight& flight, Step step) {
    int sinceSeat = 0;
    for (auto _ : state) {
        if (sinceSeat == NoContactFlight::kTicksPerSeat) {
            state.PauseTiming();
            flight.reseat();
            sinceSeat = 0;
            state.ResumeTiming();
        }
        step();
        ++sinceSeat;
    }
    if (!flight.intact()) state.SkipWithError("the flight touched the ground or ran dry");
}

// One ground segment against one hull segment, as the scan calls it: the slope under the
// ship against the left leg, which do not meet.
void SegmentsCross(benchmark::State& state) {
    NoContactFlight flight;
    const Line g = P::state(flight.form()).Ground(7);
    const Line s = P::state(flight.form()).ship(3);
    for (auto _ : state) {
        Boolean crossed = P::SegmentsCross(g.X1, g.Y1, g.X2, g.Y2, s.X1, s.Y1, s.X2, s.Y2);
        benchmark::DoNotOptimize(crossed);
    }
    if (P::SegmentsCross(g.X1, g.Y1, g.X2, g.Y2, s.X1, s.Y1, s.X2, s.Y2) != False) {
        state.SkipWithError("the chosen pair crosses");
    }
}
BENCHMARK(SegmentsCross);

// Two segments that do cross, so every comparison of the bounds test runs.
void SegmentsCrossHit(benchmark::State& state) {
    for (auto _ : state) {
        Boolean crossed = P::SegmentsCross(0, 0, 10, 0, 5, -5, 5, 5);
        benchmark::DoNotOptimize(crossed);
    }
}
BENCHMARK(SegmentsCrossHit);

// Placing the flame and the nine hull segments, with an arrow key held so the turn runs too.
void UpdateShip(benchmark::State& state) {
    NoContactFlight flight;
    P::state(flight.form()).TurnKey(1) = true;
    for (auto _ : state)
        P::UpdateShip(flight.form());
}
BENCHMARK(UpdateShip);

void MoveWorld(benchmark::State& state) {
    NoContactFlight flight;
    runFlight(state, flight, [&] { P::MoveWorld(flight.form()); });
}
BENCHMARK(MoveWorld);

// The whole tick in flight: world motion with the engine firing, ship placement, all 117
// pairs scanned without a contact, the three readouts refreshed.
void Timer1_Timer(benchmark::State& state) {
    NoContactFlight flight;
    runFlight(state, flight, [&] { flight.tick(); });
}
BENCHMARK(Timer1_Timer);

// The same tick delivered through the dispatcher, as the window's timer delivers it.
void DispatchedTick(benchmark::State& state) {
    NoContactFlight flight;
    runFlight(state, flight, [&] { benchmark::DoNotOptimize(flight.game().tick()); });
}
BENCHMARK(DispatchedTick);

}  // namespace
}  // namespace vandrel::bench
