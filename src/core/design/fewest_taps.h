#pragma once
// The fewest taps that meet pass/stop requirements, proved by measuring each design.

#include "core/design/design_status.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <string>
#include <vector>

namespace taplore {

enum class DesignMethod { equiripple, kaiser };

struct FewestTapsResult {
    DesignStatus status = DesignStatus::refused;
    std::string message;                   // why refused or failed, or the last design's warning
    std::vector<double> taps;              // the shortest design found to meet the requirements
    std::vector<double> deviations;        // its measured deviation in each band
    int estimate = 0;                      // where the search started
    int shorterTaps = 0;                   // the next shorter length allowed, 0 when there is none
    std::vector<double> shorterDeviations; // its measured deviations (it misses)
    double beta = 0.0;                     // Kaiser's beta, for the Kaiser method
    int designs = 0;                       // how many lengths were designed
};

// Searches from the estimate (Kaiser's, for the method) for the shortest length whose design,
// measured by MeasureDeviations, meets the requirements (CheckTolerances): both parities where
// the bands allow them (SymmetryProblem), odd lengths only where a pass band reaches half the
// rate. The next shorter allowed length is designed too, and misses. Equiripple designs weigh
// each band's error by 1 / its tolerance. Lengths go up to kMaxEquirippleTaps or
// kMaxKaiserTaps; requirements needing more fail. progress follows each design and may stop
// the search.
FewestTapsResult DesignFewestTaps(const Requirements& requirements, DesignMethod method,
                                  const Progress& progress = {});

// One length designed the way the search designs each, and measured; shorterTaps stays 0.
// taps: 1 ... kMaxEquirippleTaps or kMaxKaiserTaps, refused outside.
FewestTapsResult DesignAtLength(const Requirements& requirements, DesignMethod method, int taps,
                                const Progress& progress = {});

// The start of the search: Kaiser's estimate for equiripple designs,
// (-20 log10(sqrt(dp ds)) - 13) / (14.6 df) + 1 with df the narrowest transition in cycles per
// sample, or KaiserLength; rounded up, from 1 to the method's longest length.
int EstimateTaps(const Requirements& requirements, DesignMethod method);

} // namespace taplore
