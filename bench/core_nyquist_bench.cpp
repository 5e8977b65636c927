#include "core/design/nyquist.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// The fewest-taps half-band passing 0 to 0.2 of the rate, 100 dB down (63 taps); the ripple
// asked is looser, so the attenuation decides. Target: at most 50 ms.
void BM_FewestTapsHalfBand(benchmark::State& state) {
    const Requirements r = NyquistRequirements(1.0, 0.2, 2, 0.001, 100);
    for (auto _ : state) {
        const RequirementsDesign design = DesignFewestNyquistTaps(r, 2, DefaultMethod());
        if (!HasTaps(design.status))
            state.SkipWithError(design.message.c_str());
        benchmark::DoNotOptimize(design.taps.data());
    }
}
BENCHMARK(BM_FewestTapsHalfBand)->Unit(benchmark::kMillisecond);

// The same band by Kaiser's window (67 taps), and a 1/5-band of it (narrower pass band).
void BM_FewestTapsNyquistKaiser(benchmark::State& state) {
    const auto band = static_cast<int>(state.range(0));
    const Requirements r = NyquistRequirements(1.0, 0.4 / band, band, 0.001, 100);
    const Method& kaiser = *FindMethod("kaiser");
    for (auto _ : state) {
        const RequirementsDesign design = DesignFewestNyquistTaps(r, band, kaiser);
        if (!HasTaps(design.status))
            state.SkipWithError(design.message.c_str());
        benchmark::DoNotOptimize(design.taps.data());
    }
}
BENCHMARK(BM_FewestTapsNyquistKaiser)->ArgName("L")->Arg(2)->Arg(5)->Unit(benchmark::kMillisecond);

} // namespace
