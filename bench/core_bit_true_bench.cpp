#include "core/design/fir_design.h"
#include "core/design/methods.h"
#include "core/design/requirements_design.h"
#include "core/fixed/bit_true.h"
#include "core/fixed/fewest_bits.h"
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

// --fewest-bits for 101 equiripple taps of a low-pass to 0.1 dB and 80 dB: plain rounding's
// widths, then the search over the roundings at each width up to it.
void BM_FewestBits101Taps(benchmark::State& state) {
    taplore::Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1500, 4000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 80;
    const auto design = taplore::DesignToTolerances(r, taplore::DefaultMethod(), 101);
    for (auto _ : state)
        benchmark::DoNotOptimize(taplore::FindFewestBits(design.taps, r));
}
BENCHMARK(BM_FewestBits101Taps)->Unit(benchmark::kMillisecond);

} // namespace
