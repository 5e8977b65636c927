#include "core/analysis/zeros.h"
#include "core/design/equiripple.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// The zeros of an equiripple low-pass of `taps` taps: pass 0-0.3, stop 0.32-1 of half the rate.
void BM_Zeros(benchmark::State& state) {
    const Requirements r{2, {{0, 0.3, 1, 1}, {0.32, 1, 0, 1}}};
    const std::vector<double> taps = DesignEquiripple(r, static_cast<int>(state.range(0))).taps;
    for (auto _ : state) {
        const TapZeros found = FindZeros(taps);
        if (!found.problem.empty())
            state.SkipWithError(found.problem.c_str());
        benchmark::DoNotOptimize(found.zeros.data());
    }
}
BENCHMARK(BM_Zeros)->ArgName("taps")->Arg(301)->Arg(1024)->Unit(benchmark::kMillisecond);

} // namespace
