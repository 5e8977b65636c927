#pragma once
// taplore-design's filters beside a change of rate: a decimator or an interpolator, in one
// stage or a cascade, and the stages written in one file or, where the format holds one filter,
// a file each.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Designs the rate change the options ask for and, unless --quiet, reports its stages, the
// cascade's measured figures and its latency on standard error. Returns kDone with design
// filled, kRefused after naming the option at fault, or kFailed after saying why.
int DesignRateChange(Console& console, const Request& request, Design& design);

// The stages of a cascade: all in one file for a format that holds a plan, else each to -o's
// file with ".stageN" before its extension; what was written is told on standard error unless
// --quiet.
int WriteStages(Console& console, const Request& request, const Design& design);

// Warns on standard error where the stages as the chosen format writes them (quantised: each
// stage's taps in its width, or null) no longer keep the cascade's requirements that the
// double taps keep, with both figures. A CIC compensator's FIR alike, as one stage.
void WarnOfWrittenCascade(Console& console, const Request& request, const Design& design,
                          const std::vector<const FixedPointTaps*>& quantised);

// "taps.txt" as stage `number`'s file: "taps.stage2.txt" ("taps.stage2" without an extension).
std::string StagePath(const std::string& path, int number);
