#pragma once
// taplore-design's one output step: whatever designed the taps, the options choose how they
// are written and where.

#include "cli/console.h"
#include "cli/request.h"
#include "core/analysis/log_magnitude.h"
#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"
#include "core/formats/response_plot.h"
#include "core/formats/taps_description.h"

#include <memory>
#include <optional>
#include <vector>

// Taps ready to be written, and what they are.
struct Design {
    std::shared_ptr<double[]> taps;
    int count = 0;
    taplore::TapsDescription description;
    // The transform of --response and --plot: the dialog's 1024 points, whose limit its designs
    // keep; designs to requirements take one as long as they need.
    int responsePoints = kSpectrumPoints;
    std::vector<taplore::RequiredBand> required; // shaded on the plot
    // A design to requirements' report, by which each output is measured as it holds the taps.
    std::optional<taplore::RequirementsReport> report;
    std::string document;                             // the design document --save-design writes
    std::optional<taplore::MinimumPhaseReport> phase; // of a minimum-phase design
};

// Writes the taps in the chosen format, or the response, to standard output or -o's file, and
// the --plot image. Everything is computed before anything is written: a quantisation or
// spectrum failure leaves no output behind. Returns the exit status.
int WriteOutputs(Console& console, const Request& request, const Design& design);
