#pragma once
// A design to requirements as the command line and the requirements window make it, and what
// it reached, measured from its taps.

#include "core/design/design_result.h"
#include "core/design/fewest_taps.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <string>
#include <vector>

namespace taplore {

// The report's measured figures of taps: each band's deviation, each flat pass band's ripple
// peak to peak, a sloped one's deviation from its line, and how many taps are exactly 0.
void MeasureReport(const std::vector<double>& taps, RequirementsReport& report);

// design's report completed from its taps: the method, the requirements, the length and the
// measured figures.
void CompleteReport(RequirementsDesign& design, const Requirements& requirements,
                    const Method& method);

// Whether every band keeps its tolerance.
bool Meets(const RequirementsReport& report);

// A band of a pass/stop design as people read it: the ripple (pass) or attenuation (stop)
// asked and reached in dB, and by how much the band keeps it (negative: misses by).
struct BandFigure {
    bool pass = true;
    double askedDb = 0.0;
    double reachedDb = 0.0;
    double marginDb = 0.0;
    bool met = false; // decided on the deviation itself, not on the figures in dB
};
BandFigure FigureOf(const Requirements& requirements, const Band& band, double deviation);

// The most any band misses by, in dB; 0 or less where every band is met.
double LargestShortfallDb(const Requirements& requirements, const std::vector<double>& deviations);

// Pass/stop requirements (CheckTolerances): the fewest taps that meet them when taps is 0,
// else that many taps designed the way the search designs each length. steps follows the search.
// A sloped pass band needs a method that designs bands (Method::bands).
RequirementsDesign DesignToTolerances(const Requirements& requirements, const Method& method,
                                      int taps, const Progress& progress = {},
                                      const SearchSteps& steps = {});

// Bands of any gain and weight (CheckBands): taps taps of a method that designs bands.
RequirementsDesign DesignBands(const Requirements& requirements, const Method& method, int taps,
                               const Progress& progress = {});

} // namespace taplore
