// Least squares: the normal equations built and solved, at the lengths the targets name and at
// thousands of taps, with the equations' relative residual as a counter.
#include "core/design/fewest_taps.h"
#include "core/design/least_squares.h"
#include "core/design/methods.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// A low-pass at 8000 Hz: pass to 1000 Hz, stop from 1100 Hz, the stop band weighing ten times.
Requirements LowPass() {
    Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1100, 4000, 0, 10}};
    return r;
}

void BM_LeastSquares(benchmark::State& state) {
    const Requirements r = LowPass();
    const int taps = static_cast<int>(state.range(0));
    RequirementsDesign design;
    for (auto _ : state)
        benchmark::DoNotOptimize(design = DesignLeastSquares(r, taps));
    state.counters["residual"] = NormalEquationsResidual(r, design.taps);
}
BENCHMARK(BM_LeastSquares)->Arg(101)->Arg(1001)->Arg(4001)->Unit(benchmark::kMillisecond);

// The fewest-taps search with least squares: 0-1000 Hz pass, 1500-4000 Hz stop, 0.1 dB, 60 dB
// at 8000 Hz (59 taps).
void BM_LeastSquaresFewestTaps(benchmark::State& state) {
    Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1500, 4000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 60;
    const Method& method = *FindMethod("least-squares");
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFewestTaps(r, method));
}
BENCHMARK(BM_LeastSquaresFewestTaps)->Unit(benchmark::kMillisecond);

} // namespace
