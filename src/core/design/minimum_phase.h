#pragma once
// Minimum-phase filters to pass/stop requirements: a linear-phase prototype designed for the
// squared magnitude, lifted to be non-negative, and factored by the cepstrum into the taps
// whose energy comes first. Fewer taps and less delay than linear phase for the same |H|.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <span>
#include <vector>

namespace taplore {

// The requirements of the prototype G whose lifted, scaled amplitude c (A + u) is |H|^2: the
// same bands, the pass bands' deviation dp' = (1 + u) 2 dp / (1 + dp^2) and the stop bands'
// 0.9 u, where u = ds^2 / (2 (1 + dp^2) - ds^2) is the lift, dp and ds the tightest pass and
// stop deviations asked. Then |H| keeps 1 +- dp in the pass bands and ds in the stop bands, and
// the tenth of u left over keeps G's zeros off the unit circle, where the cepstrum would blur.
Requirements SquaredMagnitudeRequirements(const Requirements& requirements);

// The lift u of SquaredMagnitudeRequirements.
double SquaredMagnitudeLift(const Requirements& requirements);

// The minimum-phase taps h, (prototype.size() + 1) / 2 of them, with |H|^2 = A + lift, A the
// real amplitude of the symmetric, odd-length prototype: by the folded real cepstrum on a grid
// of at least 32 points per prototype tap. Empty where A + lift is not positive on the grid
// (no real factor then). Throws std::bad_alloc.
std::vector<double> MinimumPhaseFactor(std::span<const double> prototype, double lift);

// The lowest value of the prototype's real amplitude on the same grid.
double LowestAmplitude(std::span<const double> prototype);

// What the minimum-phase design reached beside the report's figures.
struct MinimumPhaseReport {
    int prototypeTaps = 0; // 2 taps - 1
    double lift = 0.0;     // added to the prototype's centre tap
    // The linear-phase design of the same requirements and method: the fewest taps it needs,
    // or for a length asked, that length; and its delay, (taps - 1) / 2.
    int linearTaps = 0;
    double linearDelay = 0.0;
    int tapsSaved = 0; // linearTaps - taps
    // The group delay over the pass bands, in samples.
    double lowestDelay = 0.0, highestDelay = 0.0, meanDelay = 0.0;
    // At most 1 + 1e-9, or the design failed; not a number beyond kMaxZerosTaps taps, whose
    // zeros take too long to find (the design then converges with that warning).
    double largestZeroRadius = 0.0;
};

struct MinimumPhaseDesign {
    RequirementsDesign design; // the minimum-phase taps and the report's measured figures
    MinimumPhaseReport phase;
};

// Pass/stop requirements (CheckTolerances): the fewest minimum-phase taps whose response
// meets them when taps is 0, found from the fewest prototype taps of the method that meet the
// squared requirements and on by two where the factor misses; else `taps` taps from a
// prototype of 2 taps - 1. The method's own lengths bound the prototype's. progress follows
// the prototype's search. Fails where a factor's zero lies outside the unit circle; beyond
// kMaxZerosTaps taps converges with a warning that the zeros are not checked.
MinimumPhaseDesign DesignMinimumPhase(const Requirements& requirements, const Method& method,
                                      int taps, const Progress& progress = {});

} // namespace taplore
