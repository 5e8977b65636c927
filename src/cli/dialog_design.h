#pragma once
// taplore-design's first kind of work: the filter the dialog's Calculate designs.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// Designs, for the options' order, rate and cutoffs, the taps Calculate designs for the same
// texts, through the window --window names (the dialog's Hamming unless given). Returns kDone
// with design filled, or kFailed after reporting why.
int DesignAsTheDialog(Console& console, const Request& request, Design& design);
