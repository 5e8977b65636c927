#pragma once
// taplore-design's L-th-band (Nyquist) low-pass filters: --nyquist L beside --pass 0:FP, the
// stop band where the band's symmetry puts it, the fewest taps that keep --ripple and --atten.

#include "cli/request.h"
#include "core/design/design_result.h"
#include "core/progress.h"

// Refuses, by throwing CLI11's validation error naming the option, what --nyquist cannot go
// with: more or other bands than one pass band from 0 below rate / (2L), a --stop elsewhere
// than from rate / L - FP to half the rate, a length, minimum phase, a design document, a
// method that cannot keep the zeros.
void CheckNyquist(const Request& request);

// The fewest taps of the L-th band the options ask for, at the rate and tolerances of
// requirements, by --method where it was given (equiripple for L = 2 and the Kaiser window
// above, where not).
taplore::RequirementsDesign DesignNyquistBand(const Request& request,
                                              const taplore::Requirements& requirements,
                                              const Progress& progress);
