#pragma once
// A design to requirements as the command line and the requirements window make it, and what
// it reached, measured from its taps.

#include "core/design/design_status.h"
#include "core/design/equiripple.h"
#include "core/design/fewest_taps.h"
#include "core/design/kaiser.h"
#include "core/design/requirements.h"
#include "core/design/windowed.h"
#include "core/progress.h"

#include <optional>
#include <string>
#include <vector>

namespace taplore {

struct RequirementsReport {
    DesignMethod method = DesignMethod::equiripple;
    double beta = 0.0;                // Kaiser's
    std::optional<WindowKind> window; // a window method's window, in place of the method
    Requirements requirements;
    // Pass/stop bands with ripple and attenuation asked; otherwise bands with gains and
    // weights, reported by their deviations.
    bool tolerances = true;
    int taps = 0;
    std::vector<double> deviations; // measured in each band (MeasureDeviations)
    int shorterTaps = 0;            // the next shorter length a search designed (it misses), or 0
    std::vector<double> shorterDeviations; // what that length reached
    double weightedDeviation = 0.0;        // equiripple: the largest weighted error on its grid
    int iterations = 0;                    // equiripple: the exchanges made
    std::string warning;                   // the design's warning, if any
};

// From the three kinds of design to requirements. The fixed-length ones are measured here.
// Each throws std::bad_alloc when the measuring grid does not fit in memory.
RequirementsReport ReportOf(const Requirements& requirements, DesignMethod method,
                            const FewestTapsResult& result);
RequirementsReport ReportOf(const Requirements& requirements, const EquirippleResult& result,
                            bool tolerances);
RequirementsReport ReportOf(const Requirements& requirements, const KaiserResult& result);
RequirementsReport ReportOf(const Requirements& requirements, const WindowedResult& result,
                            WindowKind window);

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

// A design and its report (when it has taps).
struct RequirementsDesign {
    DesignStatus status = DesignStatus::refused;
    std::string message; // why refused or failed, or the warning
    std::vector<double> taps;
    RequirementsReport report;
};

// Pass/stop requirements (CheckTolerances): the fewest taps that meet them when taps is 0,
// else that many taps designed the way the search designs each length.
RequirementsDesign DesignToTolerances(const Requirements& requirements, DesignMethod method,
                                      int taps, const Progress& progress = {});

// Pass/stop requirements: taps taps of the window method with a window of the table other than
// Kaiser's, whose beta the Kaiser method chooses.
RequirementsDesign DesignWithWindow(const Requirements& requirements, int taps, WindowKind window);

// Bands of any gain and weight (CheckBands): taps taps of an equiripple design.
RequirementsDesign DesignBands(const Requirements& requirements, int taps,
                               const Progress& progress = {});

} // namespace taplore
