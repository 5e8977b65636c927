#pragma once
// taplore-design --fewest-bits: the smallest coefficient width whose taps still meet the
// design's requirements, its taps written as integers and the widths reported.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Finds the fewest bits for design's requirements, writes the taps of that width one integer
// a line to standard output or -o's file and, unless --quiet, the report to standard error.
// Returns kDone, or kFailed after saying why.
int WriteFewestBits(Console& console, const Request& request, const Design& design);
