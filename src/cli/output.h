#pragma once
// taplore-design's one output step: whatever designed the taps, the options choose how they
// are written and where.

#include "cli/console.h"
#include "cli/request.h"
#include "core/analysis/log_magnitude.h"
#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"
#include "core/formats/fixed_point.h"
#include "core/formats/response_plot.h"
#include "core/formats/taps_description.h"
#include "core/multirate/cic.h"
#include "core/multirate/stage_plan.h"

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
    // A rate change's design, whose first stage the taps are; its other stages are written
    // with it.
    std::shared_ptr<const taplore::MultirateDesign> multirate;
    // A CIC compensator's ask: the CIC its taps follow.
    std::optional<taplore::CompensatorAsk> cic;

    // Holds a copy of designed, with the transform its length needs.
    void SetTaps(const std::vector<double>& designed);
    // Whether the design is a cascade of more than one stage, each stage's taps a file.
    bool IsPlan() const;
};

// The taps in format as the request rounds them: plainly, or with --search-roundings by the
// fewest-bits search to the design's requirements. Throws NoFixedPointForm.
FixedPointTaps QuantisedAsAsked(const Request& request, const Design& design, QFormat format);

// Writes text to standard output whole, after the progress line is gone; kFailed after saying
// so when it cannot.
int WriteStandardOutput(Console& console, const std::string& text);

// Writes text to path as -o does ("" or "-": standard output); kFailed after saying why not.
int WriteText(Console& console, const std::string& path, const std::string& text);

// Each text to its path ("" or "-": standard output): every file is written aside first and
// replaced only once all of them (and standard output) are complete. Returns the exit status.
int Deliver(Console& console,
            const std::vector<std::pair<const std::string*, std::string>>& outputs);

// Writes the taps in the chosen format, or the response, to standard output or -o's file, and
// the --plot image. Everything is computed before anything is written: a quantisation or
// spectrum failure leaves no output behind. Returns the exit status.
int WriteOutputs(Console& console, const Request& request, const Design& design);
