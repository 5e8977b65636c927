#pragma once
// The fewest coefficient bits whose taps still meet a design's requirements. Plain rounding
// wastes bits: a search over the roundings of each symmetric pair of taps, measured on the
// dense grid of the band measurement, often keeps the requirements with a bit or two fewer.

#include "core/design/requirements.h"
#include "core/formats/fixed_point.h"
#include "core/progress.h"

#include <optional>
#include <span>
#include <vector>

namespace taplore {

// B bits with the most fraction bits that still hold the largest tap once rounded (at most
// QFormat::kMaxFraction): the finest step the width allows.
QFormat FinestFormat(const std::vector<double>& taps, int bits);

// Whether the taps' values, as the target filters with them, keep every band's tolerance.
bool MeetsQuantised(const FixedPointTaps& taps, const Requirements& requirements);

// Rounded taps improved by a local search: each symmetric (or antisymmetric) pair in turn moved
// one step up or down wherever that lowers the largest deviation, relative to its band's
// tolerance, over the bands' grid (ties broken by the sum of their squares), until no step
// does. Taps without symmetry are left rounded.
FixedPointTaps SearchRoundings(const std::vector<double>& taps, const Requirements& requirements,
                               QFormat format);

// The taps in format as an export takes them: by SearchRoundings to *searchedTo where there are
// requirements to keep, else rounded plainly. Throws NoFixedPointForm.
FixedPointTaps QuantiseTaps(std::span<const double> taps, QFormat format,
                            const Requirements* searchedTo);

// The quantiser of the fewest-bits search at a width: the searched taps where they meet the
// requirements, else the plainly rounded ones.
FixedPointTaps QuantiseToRequirements(const std::vector<double>& taps,
                                      const Requirements& requirements, int bits);

struct FewestBits {
    FixedPointTaps taps; // of the fewest bits that meet the requirements
    int plainBits = 0;   // the fewest plain rounding needs; 0 when no width up to 32 does
    std::vector<double> deviations; // of taps, in each band
};

// The smallest width from 2 to 32 bits whose QuantiseToRequirements taps meet pass/stop
// requirements; nullopt when none does, or when progress, asked before each width, stops it.
// Throws NoFixedPointForm for taps that are not finite.
std::optional<FewestBits> FindFewestBits(const std::vector<double>& taps,
                                         const Requirements& requirements,
                                         const Progress& progress = {});

} // namespace taplore
