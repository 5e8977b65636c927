#pragma once
// taplore-design's pulse-shaping filters: the raised cosine, its root and the Gaussian, from
// their span, samples per symbol and shaping.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Designs the pulse of --pulse into design and reports it on standard error (unless --quiet).
// Returns kDone, or kRefused after naming what the pulse asked cannot be.
int DesignPulseShape(Console& console, const Request& request, Design& design);
