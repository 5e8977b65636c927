#include "core/analysis/views.h"
#include "core/design/fir_design.h"
#include "core/formats/coef_format.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_reader.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace taplore;

std::vector<double> Design(int order) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, order, 0.1, 0.6);
    return {coef.get(), coef.get() + count};
}

const TapsDescription kMillion{
    "band-pass, order 1000000, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz", {}, 8000};

// --format json for the largest design the dialog lists.
void BM_JsonExportMillionTaps(benchmark::State& state) {
    const std::vector<double> taps = Design(1'000'000);
    const ExportFormat& json = *FindExportFormat("json");
    for (auto _ : state)
        benchmark::DoNotOptimize(json.write({taps, nullptr, kMillion}));
}
BENCHMARK(BM_JsonExportMillionTaps)->Unit(benchmark::kMillisecond);

// --format coe: quantising to Q15, the cost figure's 2^20-point transform and the text.
void BM_CoeExportMillionTaps(benchmark::State& state) {
    const std::vector<double> taps = Design(1'000'000);
    const ExportFormat& coe = *FindExportFormat("coe");
    for (auto _ : state) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), QFormat::q15);
        benchmark::DoNotOptimize(coe.write({taps, &q, kMillion}));
    }
}
BENCHMARK(BM_CoeExportMillionTaps)->Unit(benchmark::kMillisecond);

// --taps-from on the full-precision text of the largest design.
void BM_ReadBackMillionTapsFull(benchmark::State& state) {
    const std::vector<double> taps = Design(1'000'000);
    const std::string text = FormatCoefficientsFull(taps.data(), static_cast<int>(taps.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTaps(text));
}
BENCHMARK(BM_ReadBackMillionTapsFull)->Unit(benchmark::kMillisecond);

// Four views of a 4,095-tap design on 65,536 points: magnitude, phase and group delay from one
// grid made once, and the step response.
void BM_FourViews4095TapsOn65536Points(benchmark::State& state) {
    const std::vector<double> taps = Design(4095);
    const FrequencyGrid grid(65'536);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeFrequencyViews(taps, grid));
        benchmark::DoNotOptimize(StepResponse(taps));
    }
}
BENCHMARK(BM_FourViews4095TapsOn65536Points)->Unit(benchmark::kMillisecond);

// The same for taps that are not linear-phase, whose group delay takes the derivative's
// transform as well.
void BM_FourViewsSkewed4095TapsOn65536Points(benchmark::State& state) {
    std::vector<double> taps = Design(4095);
    taps[0] += 0.01;
    const FrequencyGrid grid(65'536);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeFrequencyViews(taps, grid));
        benchmark::DoNotOptimize(StepResponse(taps));
    }
}
BENCHMARK(BM_FourViewsSkewed4095TapsOn65536Points)->Unit(benchmark::kMillisecond);

} // namespace
