#pragma once
// What a design to requirements reached, as a short block of lines for people: the method and
// length, each band's measured figure against what was asked, and whether the next shorter
// length misses.

#include "core/design/requirements_design.h"
#include "core/formats/taps_description.h"

#include <string>
#include <vector>

namespace taplore {

// The report in a few lines without line ends: a headline, one line a band, and the warning.
std::vector<std::string> FormatReport(const RequirementsReport& report);

// What the taps of such a design are, for whatever is written from them: the headline as the
// title, the other lines as notes.
TapsDescription DescribeReport(const RequirementsReport& report);

} // namespace taplore
