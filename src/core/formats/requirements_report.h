#pragma once
// What a design to requirements reached, as data and as a short block of lines for people:
// the method and length, each band's measured figure against what was asked, and whether the
// next shorter length misses.

#include "core/design/equiripple.h"
#include "core/design/fewest_taps.h"
#include "core/design/kaiser.h"
#include "core/design/requirements.h"

#include <string>
#include <vector>

namespace taplore {

struct RequirementsReport {
    std::string method; // "equiripple", "Kaiser window, beta 5.653"
    Requirements requirements;
    // Pass/stop bands with ripple and attenuation asked; otherwise bands with gains and
    // weights, reported by their deviations.
    bool tolerances = true;
    int taps = 0;
    std::vector<double> deviations; // measured in each band (MeasureDeviations)
    int shorterTaps = 0;            // the next shorter length a search designed (it misses), or 0
    double weightedDeviation = 0.0; // equiripple: the largest weighted error on its grid
    int iterations = 0;             // equiripple: the exchanges made
    std::string warning;            // the design's warning, if any
};

// From the three kinds of design to requirements. The fixed-length ones are measured here.
// Each throws std::bad_alloc when the measuring grid does not fit in memory.
RequirementsReport ReportOf(const Requirements& requirements, DesignMethod method,
                            const FewestTapsResult& result);
RequirementsReport ReportOf(const Requirements& requirements, const EquirippleResult& result,
                            bool tolerances);
RequirementsReport ReportOf(const Requirements& requirements, const KaiserResult& result);

// Whether every band keeps its tolerance.
bool Meets(const RequirementsReport& report);

// The report in a few lines without line ends: a headline, one line a band, and the warning.
std::vector<std::string> FormatReport(const RequirementsReport& report);

} // namespace taplore
