#include "core/design/equiripple.h"
#include "core/design/fewest_taps.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// Bands at rate 2, so that 1 Hz is half the rate.
Requirements LowPass(double passEdge, double stopEdge) {
    Requirements r;
    r.rate = 2;
    r.bands = {{0, passEdge, 1, 1}, {stopEdge, 1, 0, 1}};
    return r;
}

// Arguments: taps, pass edge and stop edge in thousandths of half the rate.
void BM_Equiripple(benchmark::State& state) {
    const auto taps = static_cast<int>(state.range(0));
    const Requirements r = LowPass(state.range(1) / 1000.0, state.range(2) / 1000.0);
    for (auto _ : state) {
        const EquirippleResult result = DesignEquiripple(r, taps);
        if (result.status != DesignStatus::converged)
            state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(result.taps.data());
    }
}
BENCHMARK(BM_Equiripple)
    ->ArgNames({"taps", "pass", "stop"})
    ->Args({101, 200, 250})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Equiripple)
    ->ArgNames({"taps", "pass", "stop"})
    ->Args({1001, 400, 410})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equiripple)
    ->ArgNames({"taps", "pass", "stop"})
    ->Args({10001, 400, 401})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// Pass edge 0.4, stop edge 0.4003 (in ten-thousandths here).
void BM_Equiripple30001(benchmark::State& state) {
    const Requirements r = LowPass(0.4, 0.4003);
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignEquiripple(r, 30001).taps.data());
}
BENCHMARK(BM_Equiripple30001)->Unit(benchmark::kMillisecond)->Iterations(1);

// 0-1000 Hz pass within 0.1 dB at 48 kHz, the stop band from stopHz to 24000 Hz attenuationDb
// down.
Requirements AudioLowPass(double stopHz, double attenuationDb) {
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 1000, 1, 1}, {stopHz, 24000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = attenuationDb;
    return r;
}

// The search against one design of the length it finds (16,053 taps), each from its start.
void BM_FewestTapsNarrowTransition(benchmark::State& state) {
    const Requirements r = AudioLowPass(1010, 80);
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFewestTaps(r, DefaultMethod()).taps.data());
}
BENCHMARK(BM_FewestTapsNarrowTransition)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OneDesignOfTheLengthFound(benchmark::State& state) {
    const Requirements r = AudioLowPass(1010, 80);
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignAtLength(r, DefaultMethod(), 16053).taps.data());
}
BENCHMARK(BM_OneDesignOfTheLengthFound)->Unit(benchmark::kMillisecond)->Iterations(1);

// The fewest taps 130, 150 and 200 dB down (2,340, 2,617 and 3,293 taps; 150 dB in long
// double, 200 dB in double-double).
void BM_FewestTapsDeep(benchmark::State& state) {
    const Requirements r = AudioLowPass(1100, static_cast<double>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFewestTaps(r, DefaultMethod()).taps.data());
}
BENCHMARK(BM_FewestTapsDeep)
    ->ArgName("dB")
    ->Arg(130)
    ->Arg(150)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

// One design of the length each of those searches finds, so that the depth's own cost shows
// apart from how many lengths a search designs.
void BM_OneDeepDesign(benchmark::State& state) {
    const Requirements r = AudioLowPass(1100, static_cast<double>(state.range(0)));
    const int taps = static_cast<int>(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignAtLength(r, DefaultMethod(), taps).taps.data());
}
BENCHMARK(BM_OneDeepDesign)
    ->ArgNames({"dB", "taps"})
    ->Args({130, 2340})
    ->Args({150, 2617})
    ->Unit(benchmark::kMillisecond);

// The example: 0-1000 Hz pass within 0.1 dB, 1500-4000 Hz stop 60 dB down, at 8000 Hz.
void BM_FewestTapsExample(benchmark::State& state) {
    Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1500, 4000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 60;
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFewestTaps(r, DefaultMethod()).taps.data());
}
BENCHMARK(BM_FewestTapsExample)->Unit(benchmark::kMicrosecond);

} // namespace
