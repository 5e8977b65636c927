#pragma once
// A band's gain as text: "1", or a line's "1..0.25" from its low edge to its high one. The
// command line's band options and the requirements window's table read and write it alike.

#include "core/design/requirements.h"

#include <string>
#include <string_view>

namespace taplore {

// "1" or a line's "1..0.25".
std::string GainText(const Band& band);

// GAIN, or G1..G2 for a band sloping from G1 at its low edge to G2 at its high one, into band's
// gain and endGain; false for a text that is neither.
bool ReadGainText(std::string_view text, Band& band);

} // namespace taplore
