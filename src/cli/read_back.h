#pragma once
// taplore-design's second kind of work: taps read back from a file or standard input, to be
// analysed, quantised or converted like a designed filter.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

#include <istream>

// Reads --taps-from's file ("-": in) into design, with the file's description where it has one
// and the rate of --rate, else the file's, else 1 (frequencies in cycles per sample). Returns
// kDone, or kFailed after reporting why the file could not be read or what is wrong in it.
int ReadTapsBack(Console& console, const Request& request, std::istream* in, Design& design);
