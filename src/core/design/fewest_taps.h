#pragma once
// The fewest taps that meet pass/stop requirements, proved by measuring each design.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <functional>
#include <string>

namespace taplore {

// Where a fewest-taps search stands: the length it designs now, which of its designs that is
// (from 1), and about how many designs the whole search takes.
struct SearchStep {
    int taps = 0;
    int design = 0;
    int aboutDesigns = 0;
};
// Told before each design of a search; on the search's own thread.
using SearchSteps = std::function<void(const SearchStep&)>;

// Searches from the method's estimate for the shortest length whose design, measured by
// MeasureDeviations, meets the requirements (CheckTolerances): both parities where the bands
// allow them (SymmetryProblem), odd lengths only where a pass band reaches half the rate. The
// next shorter allowed length is designed too, and misses. Methods that weigh errors weigh
// each band's by 1 / its tolerance. Lengths go up to the method's longest; requirements
// needing more fail. progress follows each design and may stop the search; steps, when given,
// is told each design's length. A method that does not search is refused.
RequirementsDesign DesignFewestTaps(const Requirements& requirements, const Method& method,
                                    const Progress& progress = {}, const SearchSteps& steps = {});

// Why an estimate well beyond the longest design is refused before any work: "the requirements
// need about 520000 taps, more than the longest design (131071)".
std::string NeedsMoreThanLongest(int needed, int longest);

// One length designed the way the search designs each, and measured.
// taps: 1 ... the method's longest, refused outside.
RequirementsDesign DesignAtLength(const Requirements& requirements, const Method& method, int taps,
                                  const Progress& progress = {});

} // namespace taplore
