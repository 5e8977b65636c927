#pragma once
// Equiripple (minimax) FIR design by the Parks-McClellan exchange: the taps whose largest
// weighted error over the bands is the smallest any filter of that length can have.

#include "core/design/design_status.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <limits>
#include <string>
#include <vector>

namespace taplore {

// The longest equiripple design: the work grows with the square of the length, to about six
// minutes for 106,497 taps of a 200 dB low-pass on two cores.
constexpr int kMaxEquirippleTaps = 131'071;

struct EquirippleResult {
    DesignStatus status = DesignStatus::refused;
    std::string message;      // why refused or failed, or the warning; empty when converged
    std::vector<double> taps; // the filter, when HasTaps(status)
    double deviation = 0.0;   // the largest weighted error over the bands' grid
    int iterations = 0;       // exchanges made
    // The final reference: the frequencies (Hz) where the weighted error reaches the
    // deviation, alternating in sign; one more than the design has free coefficients.
    std::vector<double> extremalHz;
    bool extended = false; // the exchange ran in extended precision
};

// Designs `taps` taps to the requirements' bands (CheckBands), each band asking for its gain
// with its weight; rippleDb and attenuationDb are not read. Ordinary responses get symmetric
// taps, Hilbert transformers and differentiators antisymmetric ones.
// taps: 1 ... kMaxEquirippleTaps (2 and up for antisymmetric taps). Refused, with the reason,
// when a band asks for a response the symmetry forces to zero: at half the rate for symmetric
// even and antisymmetric odd lengths, at 0 Hz for antisymmetric ones.
// progress, when given, is told the share of the convergence reached after each exchange and
// may stop the design. startHz, when given, holds the extremal frequencies of a design of the
// same bands and parity at a nearby length: the exchange starts from them, in place of a
// shorter design of its own. Where the levelled deviation of an exchange exceeds missesAbove,
// the design ends as missed, its deviation that lower bound on the optimum's: no filter of
// the length does better than any exchange's level. Prints nothing, keeps no state between
// calls, safe on any thread.
EquirippleResult DesignEquiripple(const Requirements& requirements, int taps,
                                  const Progress& progress = {},
                                  const std::vector<double>& startHz = {},
                                  double missesAbove = std::numeric_limits<double>::infinity());

} // namespace taplore
