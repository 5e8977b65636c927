#pragma once
// taplore-design's first kind of work: the filter the dialog's Calculate designs.

#include "cli/console.h"
#include "cli/options.h"
#include "cli/output.h"

// Designs, for the options' order, rate and cutoffs, the taps Calculate designs for the same
// texts. Returns kDone with design filled, or kFailed after reporting why.
int DesignAsTheDialog(Console& console, const Options& options, Design& design);
