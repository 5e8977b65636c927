#pragma once
// taplore-design's bit-true simulation: the designed taps quantised to --bits, a stimulus fed
// through the fixed-point model of the filter, the output written as integers and its
// overflows and SNR reported.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Simulates design's filter on --simulate's stimulus, writes the output samples to standard
// output or -o's file (and --simulate-output's WAV) and the report to standard error. Returns
// kDone, or kFailed after saying why.
int SimulateFilter(Console& console, const Request& request, const Design& design);
