#include "core/design/fir_design.h"
#include "core/fixed/bit_true.h"
#include "core/fixed/stimulus.h"
#include "core/formats/fixed_point.h"

#include <benchmark/benchmark.h>

namespace {

// --simulate noise --samples 1000000 on 255 taps of Q15: the model's filter alone, 16-bit input,
// the accumulator that never overflows, the output rounded to 16 bits.
void BM_BitTrueMillionSamples255Taps(benchmark::State& state) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, 254, 0.1, 0.6);
    const FixedPointTaps taps = Quantise(coef.get(), count, QFormat::q15);
    const taplore::SampleFormat format{16, 15};
    const auto input = taplore::Generate({taplore::SignalKind::noise}, 1'000'000, format);
    const taplore::BitTrueFormats formats{format,
                                          15,
                                          taplore::NeverOverflowingBits(16, taps.values),
                                          format,
                                          taplore::Overflow::saturate,
                                          taplore::Rounding::nearest};
    for (auto _ : state)
        benchmark::DoNotOptimize(taplore::RunBitTrue(formats, taps.values, input));
}
BENCHMARK(BM_BitTrueMillionSamples255Taps)->Unit(benchmark::kMillisecond);

} // namespace
