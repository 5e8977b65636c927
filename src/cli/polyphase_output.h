#pragma once
// The formats written for a rate change's call: each stage's factor handed to the writer, and
// the options they need checked.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

#include <optional>

// The change a stage of factor `factor` makes, for a format that writes one; nullopt for the
// others and for a single-rate design.
std::optional<taplore::RateFactor> StageRateFactor(const Request& request, int factor);

// --format naming a decimator's or interpolator's format without that change of rate: throws
// CLI::ValidationError naming --format.
void CheckRateChangeFormat(const Request& request);

// A decimator's block of input samples, a whole number of each stage's outputs: kDone, or
// kRefused after naming --block and the stage's factor.
int CheckDecimatorBlock(Console& console, const Request& request, const Design& design);
