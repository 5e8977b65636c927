#pragma once
// The fewest taps that meet pass/stop requirements, proved by measuring each design.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

namespace taplore {

// Searches from the method's estimate for the shortest length whose design, measured by
// MeasureDeviations, meets the requirements (CheckTolerances): both parities where the bands
// allow them (SymmetryProblem), odd lengths only where a pass band reaches half the rate. The
// next shorter allowed length is designed too, and misses. Methods that weigh errors weigh
// each band's by 1 / its tolerance. Lengths go up to the method's longest; requirements
// needing more fail. progress follows each design and may stop the search. A method that does
// not search is refused.
RequirementsDesign DesignFewestTaps(const Requirements& requirements, const Method& method,
                                    const Progress& progress = {});

// One length designed the way the search designs each, and measured.
// taps: 1 ... the method's longest, refused outside.
RequirementsDesign DesignAtLength(const Requirements& requirements, const Method& method, int taps,
                                  const Progress& progress = {});

} // namespace taplore
