#pragma once
// taplore-design's one output step: whatever designed the taps, the options choose how they
// are written and where.

#include "cli/console.h"
#include "cli/options.h"
#include "core/formats/taps_description.h"

#include <memory>

// Taps ready to be written, and what they are.
struct Design {
    std::shared_ptr<double[]> taps;
    int count = 0;
    taplore::TapsDescription description;
};

// Writes the taps in the chosen format, or the response, to standard output or -o's file, and
// the --plot image. Everything is computed before anything is written: a quantisation or
// spectrum failure leaves no output behind. Returns the exit status.
int WriteOutputs(Console& console, const Options& options, const Design& design);
