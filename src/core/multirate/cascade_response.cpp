#include "core/multirate/cascade_response.h"

#include "core/analysis/log_magnitude.h"

#include <algorithm>
#include <new>

namespace taplore {

namespace {

// The nonzero taps of a spread filter are few: the product skips the zeros of either side.
std::vector<double> Convolved(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.empty() || b.empty())
        return {};
    std::vector<double> product(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == 0.0)
            continue;
        for (std::size_t j = 0; j < b.size(); ++j)
            if (b[j] != 0.0)
                product[i + j] += a[i] * b[j];
    }
    return product;
}

std::vector<double> Scaled(std::vector<double> taps, double gain) {
    for (double& tap : taps)
        tap /= gain;
    return taps;
}

bool LevelsOf(const std::vector<double>& taps, int points, std::vector<double>& levels) {
    return ComputeLevelsDb(taps.data(), static_cast<int>(taps.size()), points, levels);
}

// The cascade's levels over its nominal gain.
bool CascadeLevelsOf(std::span<const CascadeStage> stages, int points,
                     std::vector<double>& levels) {
    return LevelsOf(Scaled(EquivalentTaps(stages), CascadeGain(stages)), points, levels);
}

} // namespace

std::vector<CascadeStage> CascadeStages(const MultirateDesign& design) {
    std::vector<CascadeStage> stages;
    int ratio = 1;
    for (const Stage& stage : design.stages) {
        const double gain = design.ask.change == RateChange::interpolate ? stage.spot.factor : 1.0;
        stages.push_back({stage.design.taps, ratio, gain});
        ratio *= stage.spot.factor;
    }
    return stages;
}

std::vector<CascadeStage> RoundedStages(std::vector<CascadeStage> stages, QFormat width) {
    for (CascadeStage& stage : stages)
        stage.taps =
            Dequantise(Quantise(stage.taps.data(), static_cast<int>(stage.taps.size()), width));
    return stages;
}

std::vector<double> SpreadTaps(std::span<const double> taps, int ratio) {
    if (taps.empty())
        return {};
    std::vector<double> spread((taps.size() - 1) * static_cast<std::size_t>(ratio) + 1, 0.0);
    for (std::size_t n = 0; n < taps.size(); ++n)
        spread[n * static_cast<std::size_t>(ratio)] = taps[n];
    return spread;
}

std::vector<double> EquivalentTaps(std::span<const CascadeStage> stages) {
    std::vector<double> taps{1.0};
    for (const CascadeStage& stage : stages)
        taps = Convolved(taps, SpreadTaps(stage.taps, stage.ratio));
    return taps;
}

double CascadeGain(std::span<const CascadeStage> stages) {
    double gain = 1.0;
    for (const CascadeStage& stage : stages)
        gain *= stage.gain;
    return gain;
}

bool ComputeCascadeLevels(std::span<const CascadeStage> stages, int points, CascadeLevels& levels) {
    levels.stages.assign(stages.size(), {});
    for (std::size_t i = 0; i < stages.size(); ++i)
        if (!LevelsOf(Scaled(SpreadTaps(stages[i].taps, stages[i].ratio), stages[i].gain), points,
                      levels.stages[i]))
            return false;
    return CascadeLevelsOf(stages, points, levels.cascade);
}

std::optional<RoundedCascade> RoundCascade(const MultirateDesign& design, QFormat format,
                                           int points) {
    const std::vector<CascadeStage> rounded = RoundedStages(CascadeStages(design), format);
    RoundedCascade result{format, {}, {}};
    if (!CascadeLevelsOf(rounded, points, result.levels))
        return std::nullopt;
    std::vector<Stage> stages = design.stages;
    for (std::size_t i = 0; i < stages.size(); ++i)
        stages[i].design.taps = rounded[i].taps;
    try {
        result.figures = MeasureCascade(design.ask, stages);
    } catch (const std::bad_alloc&) { // the measuring grid of a long plan
        return std::nullopt;
    }
    return result;
}

std::vector<FrequencySpan> AliasSpans(const RateChangeAsk& ask) {
    const double low = LowRate(ask), half = ask.rate / 2;
    if (ask.alias == AliasRule::none)
        return {{low / 2, half}};
    std::vector<FrequencySpan> spans;
    for (int k = 1; k * low - ask.passHz < half; ++k)
        spans.push_back({k * low - ask.passHz, std::min(k * low + ask.passHz, half)});
    return spans;
}

} // namespace taplore
