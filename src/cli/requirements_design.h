#pragma once
// taplore-design's second kind of work: a design to requirements. The fewest taps that keep
// pass and stop bands within --ripple and --atten, or --taps of them; or --taps of an
// equiripple design of bands with any gains, Hilbert transformers and differentiators.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Designs to the options' requirements and, unless --quiet, reports on standard error what
// was reached. Returns kDone with design filled (the report as its description, the required
// bands to shade), kRefused after naming the option at fault, or kFailed after saying why the
// design failed.
int DesignToRequirements(Console& console, const Request& request, Design& design);
