#pragma once
// taplore-design --cic: the FIR that follows a CIC decimator, designed so that the cascade keeps
// the pass band's ripple and the stop band's attenuation.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

// kDone with the compensator in design and its report shown; kRefused after naming what cannot
// be designed, kFailed where no length keeps the cascade's tolerances.
int DesignCicCompensator(Console& console, const Request& request, Design& design);
