#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace {

struct Cutoffs {
    double f1, f2;
};
constexpr Cutoffs kBandTypes[] = {{0.0, 0.6}, {0.3, 1.0}, {0.1, 0.6}, {0.6, 0.1}};

// Arguments: tap count, band type (0 low-pass, 1 high-pass, 2 band-pass, 3 band-stop).
void BM_DesignFilter(benchmark::State& state) {
    const auto order = static_cast<int>(state.range(0));
    const Cutoffs c = kBandTypes[state.range(1)];
    std::shared_ptr<double[]> coef;
    int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFilter(coef, count, order, c.f1, c.f2));
}
BENCHMARK(BM_DesignFilter)->ArgsProduct({{511, 4095}, {0, 1, 2, 3}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DesignFilter)
    ->ArgsProduct({{1'000'001}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The band-pass on one thread and on every hardware thread: the speed-up of the split, and
// where it starts to pay (the designer's kParallelDesignTaps).
void BM_DesignBandPassThreads(benchmark::State& state) {
    const auto order = static_cast<int>(state.range(0));
    const auto threads = static_cast<unsigned>(state.range(1));
    std::shared_ptr<double[]> coef;
    int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(DesignFilter(coef, count, order, 0.1, 0.6, threads));
}
const long kAllThreads = std::max(1u, std::thread::hardware_concurrency());
BENCHMARK(BM_DesignBandPassThreads)
    ->ArgNames({"taps", "threads"})
    ->ArgsProduct({{1'000'001}, {1, kAllThreads}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DesignBandPassThreads)
    ->ArgNames({"taps", "threads"})
    ->ArgsProduct({{8'191, 12'287, 16'383, 32'767}, {1, kAllThreads}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// What the start-up Calculate computes: the 511-tap band-pass and its spectrum.
void BM_DesignAndSpectrumStartup(benchmark::State& state) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    std::unique_ptr<double[]> magDb;
    int bins = 0;
    for (auto _ : state) {
        DesignFilter(coef, count, 511, 0.1, 0.6);
        benchmark::DoNotOptimize(ComputeLogMagnitude(coef.get(), count, magDb, bins));
    }
}
BENCHMARK(BM_DesignAndSpectrumStartup)->Unit(benchmark::kMicrosecond);

} // namespace
