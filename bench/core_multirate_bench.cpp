#include "core/multirate/stage_plan.h"

#include <benchmark/benchmark.h>

namespace {

using namespace taplore;

// 3.072 MHz down to 48 kHz, 20 kHz kept within 0.1 dB, 100 dB against aliasing.
RateChangeAsk Example() {
    RateChangeAsk ask;
    ask.factor = 64;
    ask.rate = 3072000;
    ask.passHz = 20000;
    ask.rippleDb = 0.1;
    ask.attenuationDb = 100;
    return ask;
}

void Design(benchmark::State& state, const StagesAsk& stages) {
    for (auto _ : state) {
        const MultirateDesign design = DesignMultirate(Example(), stages);
        if (!HasTaps(design.status) || !design.cascade.met)
            state.SkipWithError("the example's design failed");
        benchmark::DoNotOptimize(design.stages.data());
    }
}

// Every plan it compares: the estimates, the three cheapest designed, each cascade measured.
void BM_MultirateAutoPlan(benchmark::State& state) {
    Design(state, {StagesAsk::Kind::automatic, 0, {}});
}
BENCHMARK(BM_MultirateAutoPlan)->Unit(benchmark::kMillisecond);

void BM_MultirateOneStage(benchmark::State& state) {
    Design(state, {});
}
BENCHMARK(BM_MultirateOneStage)->Unit(benchmark::kMillisecond);

} // namespace
