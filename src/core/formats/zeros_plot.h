#pragma once
// The zeros of a filter in the z-plane as an SVG image, in the response plots' colours: the unit
// circle and the axes green on black, each zero a red ring.

#include "core/analysis/zeros.h"
#include "core/formats/taps_description.h"

#include <string>

namespace taplore {

// A square panel reaching at least 1.25 from the origin each way, and on to the farthest zero
// up to 4; ticks of 1, 2 or 5 times a power of ten on both axes. The caption counts the zeros,
// those beyond the panel (not drawn) and those at infinity.
std::string FormatZerosSvg(const TapsDescription& description, const TapZeros& zeros);

} // namespace taplore
