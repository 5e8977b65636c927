#pragma once
// What a rate change's design reached, in lines for people: the change, each stage's taps and
// multiplications, the total against one stage, the plans compared, the cascade's measured
// ripple and attenuation, and the latency at both rates.

#include "core/formats/taps_description.h"
#include "core/multirate/stage_plan.h"

#include <string>
#include <vector>

namespace taplore {

// value rounded to at most `decimals` decimals, as short as it reads back.
std::string RoundedText(double value, int decimals);

// The lines, without line ends; the stage's own report's lines where there is one stage.
std::vector<std::string> FormatMultirateReport(const MultirateDesign& design);

// The lines as a description: the first as the title, the others as notes, the high rate.
TapsDescription DescribeMultirate(const MultirateDesign& design);

// A stage's name in a plot's legend: "stage 2 (÷4)" for the second stage of a decimator,
// "×" for an interpolator's.
std::string StageCurveName(const MultirateDesign& design, std::size_t stage);

// The delay of the cascade's linear-phase stages, in samples of the high rate.
double LatencyAtHighRate(const std::vector<Stage>& stages);

} // namespace taplore
