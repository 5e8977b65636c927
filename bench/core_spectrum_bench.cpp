#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/analysis/fft.h"
#include "core/analysis/log_magnitude.h"

namespace {

// A Hamming-windowed low-pass sinc, the size of the start-up design.
std::vector<double> WindowedSinc(int taps, double cutoff) {
    const double pi = std::numbers::pi;
    const int middle = taps / 2;
    std::vector<double> h(taps);
    for (int i = 0; i < taps; ++i) {
        const int t = i - middle;
        const double sinc = t == 0 ? cutoff : std::sin(pi * cutoff * t) / (pi * t);
        h[i] = sinc * (0.54 - 0.46 * std::cos(2.0 * pi * i / (taps - 1)));
    }
    return h;
}

// The input is copied back each round so values never grow towards overflow; the copy
// of 16 KiB is part of the timing.
void BM_Fft1024(benchmark::State& state) {
    std::vector<Complex> input(kSpectrumPoints);
    for (int i = 0; i < kSpectrumPoints; ++i)
        input[i] = {std::sin(0.37 * i), 0.0};
    std::vector<Complex> data(kSpectrumPoints);
    for (auto _ : state) {
        data = input;
        benchmark::DoNotOptimize(FFT(data.data(), kSpectrumPoints));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Fft1024);

void BM_Spectrum511Taps(benchmark::State& state) {
    const std::vector<double> taps = WindowedSinc(511, 0.25);
    std::unique_ptr<double[]> magDb;
    int nBins = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ComputeLogMagnitude(taps.data(), static_cast<int>(taps.size()), magDb, nBins));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Spectrum511Taps);

} // namespace
