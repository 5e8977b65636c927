#include "core/design/equiripple.h"
#include "core/design/minimum_phase.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// The factor of a 301-tap prototype (pass 0-0.3, stop 0.4-1 of half the rate), lifted as the
// designer lifts it: its lowest amplitude found, then the cepstrum.
void BM_MinimumPhaseFactor(benchmark::State& state) {
    const std::vector<double> prototype =
        DesignEquiripple({2, {{0, 0.3, 1, 1}, {0.4, 1, 0, 1}}}, 301).taps;
    for (auto _ : state) {
        const double lift = 1e-9 - LowestAmplitude(prototype);
        benchmark::DoNotOptimize(MinimumPhaseFactor(prototype, lift).data());
    }
}
BENCHMARK(BM_MinimumPhaseFactor)->Unit(benchmark::kMillisecond);

// The whole design to 0-1000 Hz within 0.1 dB, 60 dB from 1500 Hz at 8000 Hz: the prototype's
// search, the factor, its zeros and delay, and the linear-phase search it is compared with.
void BM_MinimumPhaseDesign(benchmark::State& state) {
    const Requirements r{8000, {{0, 1000, 1, 1}, {1500, 4000, 0, 1}}, 0.1, 60};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DesignMinimumPhase(r, *FindMethod("equiripple"), 0).design.taps.data());
}
BENCHMARK(BM_MinimumPhaseDesign)->Unit(benchmark::kMillisecond);

} // namespace
