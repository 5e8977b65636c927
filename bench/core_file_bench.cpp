#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Save's work for the largest design the dialog lists: 1,000,001 taps.
void BM_SaveMillionTaps(benchmark::State& state) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    DesignFilter(coef, count, 1'000'000, 0.1, 0.6);
    const std::string path = "/tmp/taplore-bench-" + std::to_string(::getpid()) + ".txt";
    for (auto _ : state)
        WriteCoefficientFile(path, coef.get(), count);
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveMillionTaps)->Unit(benchmark::kMillisecond);

} // namespace
