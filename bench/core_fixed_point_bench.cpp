#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"
#include "core/formats/coef_format.h"
#include "core/formats/fixed_point.h"
#include "core/formats/response_plot.h"

#include <benchmark/benchmark.h>

namespace {

// "Copy as Q15 C array" and --format c-q15 for the largest design the dialog lists:
// quantising 1,000,001 taps, the cost figure's 2^20-point transform and the text.
void BM_Q15CArrayMillionTaps(benchmark::State& state) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, 1'000'000, 0.1, 0.6);
    const auto request = taplore::DescribeRequest({1'000'000, 8000, 400, 2400});
    for (auto _ : state)
        benchmark::DoNotOptimize(
            FormatFixedPointC(coef.get(), Quantise(coef.get(), count, QFormat::q15), request));
}
BENCHMARK(BM_Q15CArrayMillionTaps)->Unit(benchmark::kMillisecond);

// --plot for the start-up filter: its spectrum and the SVG text.
void BM_PlotStartUpFilter(benchmark::State& state) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, 511, 0.1, 0.6);
    const auto request = taplore::DescribeRequest({511, 8000, 400, 2400});
    SpectrumLevels levels;
    for (auto _ : state) {
        ComputeLevelsDb(coef.get(), count, levels);
        benchmark::DoNotOptimize(FormatResponseSvg(request, levels));
    }
}
BENCHMARK(BM_PlotStartUpFilter)->Unit(benchmark::kMicrosecond);

} // namespace
