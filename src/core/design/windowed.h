#pragma once
// The window method to requirements of any bands: each band's gain up to the middle of the
// transitions beside it (the outer bands' gains reaching on to 0 Hz and half the rate), times a
// window of the table. Kaiser's design is this with its own beta.

#include "core/design/design_result.h"
#include "core/design/requirements.h"
#include "core/design/window_functions.h"

namespace taplore {

// The longest window design to requirements.
constexpr int kMaxWindowedTaps = 65'535;

// Designs `taps` taps (1 ... kMaxWindowedTaps) to pass/stop requirements (CheckTolerances) with
// the window of that kind (parameter: Kaiser's beta, ignored by the others); refused or
// converged, its report's figures left to the caller to measure.
RequirementsDesign DesignWindowed(const Requirements& requirements, int taps, WindowKind kind,
                                  double parameter);

} // namespace taplore
