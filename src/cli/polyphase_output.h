#pragma once
// The formats written for a rate change: each stage's factor handed to the writer, and the
// options the rate-change calls need checked.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

#include <optional>

// The change a stage of factor `factor` makes, which the rate-change formats need and the C,
// JSON and HDL formats write the phases of; nullopt for a single-rate design.
std::optional<taplore::RateFactor> StageRateFactor(const Request& request, int factor);

// The change the design's one filter makes: its first stage's, or a CIC compensator's own
// decimation.
std::optional<taplore::RateFactor> DesignRateFactor(const Request& request, const Design& design);

// --format naming a decimator's or interpolator's format without that change of rate: throws
// CLI::ValidationError naming --format.
void CheckRateChangeFormat(const Request& request);

// A decimator's block of input samples, a whole number of each stage's outputs: kDone, or
// kRefused after naming --block and the stage's factor.
int CheckDecimatorBlock(Console& console, const Request& request, const Design& design);
