#pragma once
// A rate change's cascade as the one filter it equals at the high rate: a stage at a rate R
// times below the high one acts there as its taps with R - 1 zeros between them, whose
// response at f is the stage's own at f, repeating every stage rate.

#include "core/formats/fixed_point.h"
#include "core/multirate/stage_plan.h"

#include <optional>
#include <span>
#include <vector>

namespace taplore {

// One stage as the high rate sees it: its taps, how many times the high rate exceeds its own,
// and its nominal gain (an interpolator's factor, else 1).
struct CascadeStage {
    std::vector<double> taps;
    int ratio = 1;
    double gain = 1.0;
};
std::vector<CascadeStage> CascadeStages(const MultirateDesign& design);

// stages with each one's taps rounded to width, as an export of that width writes them.
std::vector<CascadeStage> RoundedStages(std::vector<CascadeStage> stages, QFormat width);

// taps with ratio - 1 zeros between each and the next.
std::vector<double> SpreadTaps(std::span<const double> taps, int ratio);

// The filter the cascade equals at the high rate: its stages spread and convolved.
std::vector<double> EquivalentTaps(std::span<const CascadeStage> stages);

// The product of the stages' nominal gains.
double CascadeGain(std::span<const CascadeStage> stages);

// Levels in dB over the nominal gain at bins k rate / points of the high rate, k from 0 to
// points / 2 - 1: the cascade's, from its equivalent filter, and each stage's.
struct CascadeLevels {
    std::vector<double> cascade;
    std::vector<std::vector<double>> stages;
};
// False when points is no power of two at least the equivalent filter's length and 1024, or
// memory is short.
bool ComputeCascadeLevels(std::span<const CascadeStage> stages, int points, CascadeLevels& levels);

// A plan's stages each rounded to format, as an export of that width writes them: the
// cascade's levels as ComputeCascadeLevels gives them, and its figures measured.
struct RoundedCascade {
    QFormat format;
    std::vector<double> levels;
    CascadeFigures figures;
};
// Nothing where ComputeCascadeLevels would be false. Throws NoFixedPointForm for taps that are
// not finite.
std::optional<RoundedCascade> RoundCascade(const MultirateDesign& design, QFormat format,
                                           int points);

// A span of frequencies, Hz.
struct FrequencySpan {
    double lowHz = 0.0, highHz = 0.0;
};

// The frequencies from 0 to half the high rate that the rate change folds onto what ask
// protects: about every multiple of the low rate, the pass band's width either side, or with
// AliasRule::none everything above half the low rate.
std::vector<FrequencySpan> AliasSpans(const RateChangeAsk& ask);

} // namespace taplore
