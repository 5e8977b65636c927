#include "core/design/windowed.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;

// Where the ideal response steps from one band's gain to the next one's, in radians.
std::vector<double> Cutoffs(const Requirements& r) {
    std::vector<double> cutoffs;
    for (std::size_t i = 1; i < r.bands.size(); ++i)
        cutoffs.push_back(kPi * (r.bands[i - 1].highHz + r.bands[i].lowHz) / r.rate);
    return cutoffs;
}

// The ideal impulse response at distance m from the centre (a half-integer for even lengths):
// each band's gain over [from, to] contributes gain (sin(to m) - sin(from m)) / (pi m).
double IdealTap(const Requirements& r, const std::vector<double>& cutoffs, double m) {
    double tap = 0.0;
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const double from = i == 0 ? 0.0 : cutoffs[i - 1];
        const double to = i + 1 == r.bands.size() ? kPi : cutoffs[i];
        const double part =
            m == 0.0 ? (to - from) / kPi : (std::sin(to * m) - std::sin(from * m)) / (kPi * m);
        tap += r.bands[i].gain * part;
    }
    return tap;
}

} // namespace

RequirementsDesign DesignWindowed(const Requirements& requirements, int taps, WindowKind kind,
                                  double parameter) {
    if (auto problem = CheckTolerances(requirements))
        return Unmade(DesignStatus::refused, problem->text);
    if (taps < 1 || taps > kMaxWindowedTaps)
        return Unmade(DesignStatus::refused, "the taps must be from 1 to 65535");
    if (auto problem = SymmetryProblem(requirements, taps))
        return Unmade(DesignStatus::refused, problem->text);
    RequirementsDesign result;
    const std::vector<double> cutoffs = Cutoffs(requirements);
    const double centre = (taps - 1) / 2.0;
    result.taps.resize(taps);
    for (int k = 0; k < taps; ++k)
        result.taps[k] =
            IdealTap(requirements, cutoffs, k - centre) * WindowAt(kind, k, taps, parameter);
    result.status = DesignStatus::converged;
    return result;
}

} // namespace taplore
