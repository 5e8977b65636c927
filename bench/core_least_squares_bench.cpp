// Least squares: the normal equations built and solved, at the lengths the targets name and at
// thousands of taps, with the equations' relative residual as a counter.
#include "core/design/least_squares.h"

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

} // namespace
