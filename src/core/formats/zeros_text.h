#pragma once
// The zeros of a filter as text: for a --view zeros, gnuplot or a spreadsheet.

#include "core/analysis/zeros.h"

#include <string>

namespace taplore {

// One zero a line, its real and imaginary parts separated by a blank, each the shortest text
// that reads back as the same double ("." decimals), LF line ends, in the zeros' order (by
// angle). The zeros at infinity, a delay, have no line.
std::string FormatZerosText(const TapZeros& zeros);

} // namespace taplore
