#pragma once
// One Parks-McClellan exchange at a given length: the reference, the polynomial through it in the
// barycentric form, and the exchange of its points for the error's extrema until their errors
// agree. DesignEquiripple chooses where it starts and what a result below the precision of
// double taps becomes.

#include "core/design/equiripple.h"
#include "core/design/equiripple_grid.h"
#include "core/progress.h"

#include <vector>

namespace taplore::equiripple {

// Designs form's taps to the requirements' bands. scaledFrom: the extremal frequencies (radians)
// of a shorter design of the same form and bands, or empty; the exchange starts from them, else
// from an even spread over the bands. missesAbove and progress as DesignEquiripple takes them.
EquirippleResult RunExchange(const Requirements& requirements, const Form& form, double missesAbove,
                             const std::vector<double>& scaledFrom, const Progress& progress);

} // namespace taplore::equiripple
