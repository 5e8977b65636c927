#pragma once
// A pulse-shaping design in words, for the command line's report, the requirements window's
// result and whatever is written from the taps.

#include "core/design/pulse_shaping.h"
#include "core/formats/taps_description.h"

#include <vector>

namespace taplore {

// "root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 taps, unit-energy" as the
// title, and the figures each gain would make 1 as a note, so that the scaling can be seen;
// rate the frequency axes' rate.
TapsDescription DescribePulse(const PulseRequest& pulse, const std::vector<double>& taps,
                              double rate);

} // namespace taplore
