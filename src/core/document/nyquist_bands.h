#pragma once
// The requirements window's L-th-band designs: the low-pass of its table's two rows, built as
// NyquistRequirements builds the command line's, and what keeps the window's controls from
// one, said in their names. The rows carry tolerances of their own, which NyquistProblem
// refuses, so the window's checks come first and the design goes through NyquistOf.

#include "core/design/methods.h"
#include "core/design/requirements.h"

#include <optional>

namespace taplore {

// What the window's other controls ask besides the bands.
struct NyquistChoices {
    const Method* method = &DefaultMethod();
    bool minimumPhase = false;
    bool fixedLength = false;
};

// Why the window's bands (each with its tolerance) and choices make no L-th-band design:
// bands other than one pass band from 0 of gain 1 and one stop band to half the rate, a pass
// edge at or past rate / (2L), a stop edge other than rate / L less the pass edge (to the
// ninth digit of the rate), a method that cannot keep the zeros, minimum phase, a fixed length.
std::optional<RequirementsProblem> WindowNyquistProblem(const Requirements& requirements, int band,
                                                        const NyquistChoices& choices);

// The L-th-band requirements of bands WindowNyquistProblem accepts: the pass band's edge and
// ripple, the stop band's attenuation.
Requirements NyquistOf(const Requirements& requirements, int band);

} // namespace taplore
