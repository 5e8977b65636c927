#pragma once
// Where the exchange starts: reference points on the grid, from an even spread or from a shorter
// design's extremal frequencies.

#include "core/design/equiripple_grid.h"

#include <vector>

namespace taplore::equiripple {

// r + 1 points spread evenly over the bands' grid, from its first point on: to its last
// (shift 0), or to one spacing short of it (shift 1).
std::vector<int> EvenReference(const Grid& grid, int r, int shift);

// r + 1 points from a shorter design's extremal frequencies (radians), as many more in each
// band as the longer design has coefficients.
std::vector<int> ScaledReference(const Grid& grid, int r, const std::vector<double>& start);

} // namespace taplore::equiripple
