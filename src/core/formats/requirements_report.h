#pragma once
// What a design to requirements reached, as a short block of lines for people: the method and
// length, each band's measured figure against what was asked, and whether the next shorter
// length misses.

#include "core/design/requirements_design.h"

#include <string>
#include <vector>

namespace taplore {

// The report in a few lines without line ends: a headline, one line a band, and the warning.
std::vector<std::string> FormatReport(const RequirementsReport& report);

} // namespace taplore
