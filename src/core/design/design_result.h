#pragma once
// The one result of every design to requirements, whatever the method: how it ended, the taps
// and the report's figures, measured from the taps.

#include "core/design/design_status.h"
#include "core/design/requirements.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace taplore {

struct Method;

// A length a fewest-taps search designed below its answer, and what it reached (it misses).
struct ShorterLength {
    int taps = 0;
    std::vector<double> deviations;
};

struct RequirementsReport {
    const Method* method = nullptr; // the row of the method table that designed it
    double beta = 0.0;              // Kaiser's
    Requirements requirements;
    // Pass/stop bands with ripple and attenuation asked; otherwise bands with gains and
    // weights, reported by their deviations.
    bool tolerances = true;
    int taps = 0;
    std::vector<double> deviations; // measured in each band (MeasureDeviations)
    // Each pass band's gain, largest over smallest, in dB, as people read a ripple; the
    // tolerance constrains the deviation above instead. Empty, or NaN for a stop band and a
    // sloped one.
    std::vector<double> peakToPeakDb;
    // Where a band is relative, each band's largest distance from the gain asked, as a band of
    // any gain reports it; empty otherwise.
    std::vector<double> lineDeviations;
    // The next shorter allowed length of each parity a search designed, longest first.
    std::vector<ShorterLength> shorter;
    // The transitions (edges in Hz) held below the pass bands' upper tolerance, where the plain
    // design's response swelled above it.
    std::vector<std::pair<double, double>> held;
    // Bands of any gain: the largest magnitude between and beyond the bands, and where.
    double outsidePeak = 0.0, outsidePeakHz = 0.0;
    double weightedDeviation = 0.0; // equiripple: the largest weighted error on its grid
    int iterations = 0;             // equiripple: the exchanges made
    int designs = 0;                // the lengths a fewest-taps search designed
    bool extended = false;          // equiripple: the exchange ran in extended precision
    std::string warning;            // the design's warning, if any
    // Least squares: the weighted integral squared error it minimised, which its headline gives
    // in place of the weighted deviation and exchanges.
    std::optional<double> squaredError;
    // An L-th-band (Nyquist) design's L, 0 for the others; and the taps that are exactly 0.
    int nyquistBand = 0;
    int zeroTaps = 0;
};

struct RequirementsDesign {
    DesignStatus status = DesignStatus::refused;
    std::string message; // why refused or failed, or the warning
    std::vector<double> taps;
    RequirementsReport report; // when HasTaps(status)
};

// A design that did not reach taps, with the reason.
RequirementsDesign Unmade(DesignStatus status, std::string why);

} // namespace taplore
