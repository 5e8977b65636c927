#pragma once
// The chosen views of a response as text for gnuplot or a spreadsheet.

#include "core/analysis/views.h"

#include <span>
#include <string>

namespace taplore {

// Tab-separated columns, LF line ends, every value the shortest text that reads back as the
// same double. The frequency views come first, a point a line after the header
// "# Hz\tmagnitude (dB)\t...", the frequency being grid point k's for rate; the time views
// follow after two empty lines (gnuplot's next data set), a sample a line after "# n\t...".
std::string FormatViewTable(const ResponseViews& views, std::span<const View> chosen,
                            const FrequencyGrid& grid, double rate);

} // namespace taplore
