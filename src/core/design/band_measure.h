#pragma once
// What a design reached, measured from its taps: the proof that it meets its requirements.

#include "core/design/requirements.h"

#include <vector>

namespace taplore {

// |H(omega)| of the taps, summed directly: for frequencies between a transform's bins.
double MagnitudeAt(const std::vector<double>& taps, double omega);

// For each band, the largest distance of the taps' magnitude response from the magnitude the
// band asks (|gain|, or |gain| * omega for a differentiator), relative to it where the band is
// relative, on a dense grid: at least 32
// points per tap from 0 to half the rate, and each band's edges exactly. Taps that are not
// all finite give not-a-number. Throws std::bad_alloc when the grid does not fit in memory.
std::vector<double> MeasureDeviations(const std::vector<double>& taps,
                                      const Requirements& requirements);

// The smallest and largest magnitude of the taps' response in a band, on the same grid.
struct GainRange {
    double lowest = 0.0;
    double highest = 0.0;
};
std::vector<GainRange> MeasureGains(const std::vector<double>& taps,
                                    const Requirements& requirements);

// The largest magnitude of the response between and beyond the bands, and where it lies; 0 at
// 0 Hz where the bands leave nothing out. Not-a-number stays.
struct Peak {
    double magnitude = 0.0;
    double hz = 0.0;
};
Peak PeakOutsideBands(const std::vector<double>& taps, const Requirements& requirements);

// Whether measured deviations keep the tolerances: every band within its AllowedDeviation.
bool MeetsTolerances(const std::vector<double>& deviations, const Requirements& requirements);

} // namespace taplore
