#pragma once
// Weighted least-squares FIR design: the linear-phase taps whose weighted integral squared
// error over the bands, sum over bands of the integral of (weight * (A(w) - D(w)))^2, is the
// smallest any filter of that length can have. Solved from its normal equations, whose
// matrix (Toeplitz plus Hankel) and right-hand side are integrated in closed form.

#include "core/design/design_result.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <vector>

namespace taplore {

// The longest least-squares design: its matrix holds (taps / 2)^2 doubles, 128 MiB here, and
// its factorisation grows with the cube of the length.
constexpr int kMaxLeastSquaresTaps = 8191;

// Designs `taps` taps to the requirements' bands (CheckBands), each asking for its gain with its
// weight; ordinary responses get symmetric taps, Hilbert transformers and differentiators
// antisymmetric ones (a differentiator's error counts as it is, not relative to its response).
// taps: 1 ... kMaxLeastSquaresTaps (2 and up for antisymmetric taps); refused, with the reason,
// where the symmetry forces the response to zero where a band asks for more (SymmetryProblem).
// Fails where the normal equations are too close to singular for their solution to hold them
// (bands far too narrow for the length). progress is told 0 and 1 and may stop the design
// before the factorisation.
RequirementsDesign DesignLeastSquares(const Requirements& requirements, int taps,
                                      const Progress& progress = {});

// How closely linear-phase taps solve their requirements' normal equations Q a = p:
// |Q a - p| / |p| (|Q a| where p is 0), the norms Euclidean. Rounding alone leaves about 1e-15.
double NormalEquationsResidual(const Requirements& requirements, const std::vector<double>& taps);

} // namespace taplore
