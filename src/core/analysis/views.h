#pragma once
// Views of a filter's response as plain arrays: magnitude, unwrapped phase and group delay on a
// frequency grid, and the impulse and step responses in time.

#include "core/analysis/fft.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace taplore {

// The zeros lie in the z-plane, against neither frequency nor time: they are found by FindZeros
// and written alone, not as a column or a panel of the others.
enum class View { magnitude, phase, groupDelay, impulse, step, zeros };

// What the command line calls a view, what a plot's axis says, and whether it is drawn against
// frequency (otherwise against time, in samples, or for the zeros in the z-plane).
struct ViewInfo {
    View view;
    std::string_view name;  // "group-delay"
    std::string_view title; // "Group delay"
    std::string_view unit;  // "samples"
    bool overFrequency;
};

// Every view, in the order a plot stacks them.
std::span<const ViewInfo> Views();
const ViewInfo& InfoOf(View view);
std::optional<View> ViewNamed(std::string_view name);

// points frequencies from DC up to one step below half the rate: point k lies at k / (2 points)
// of the rate, so 512 points are the dialog's spectrum bins. The grid owns the transform plan
// for its length (2 points); make it once and pass it to every computation on that grid.
// k parts of a rate divided into parts, k * rate / parts, without overflow where k * rate is
// beyond a double (a rate near the largest double): then k * (rate / parts).
inline double FrequencyOf(double k, double rate, double parts) {
    const double product = k * rate;
    return std::isfinite(product) ? product / parts : k * (rate / parts);
}

// Each point of the views, with its values, texts and transforms, takes about this much memory.
constexpr std::uint64_t kBytesPerViewPoint = 192;

class FrequencyGrid {
public:
    static constexpr int kMaxPoints = FftPlan::kMaxFftLength / 2;

    // Throws std::invalid_argument for points outside 1 ... kMaxPoints, std::bad_alloc when
    // the plan does not fit in memory.
    explicit FrequencyGrid(int points);

    int Points() const { return m_points; }
    // Point k in Hz for a sampling rate.
    double Hz(int k, double rate) const { return FrequencyOf(k, rate, 2.0 * m_points); }
    const FftPlan& Plan() const { return m_plan; }

private:
    int m_points;
    FftPlan m_plan;
};

// The most points a grid may have for the free memory to hold the views: up to kMaxPoints.
int MostViewPoints();

struct FrequencyViews {
    std::vector<double> magnitudeDb;  // 20 log10 |H|; -inf where H is 0
    std::vector<double> phaseDegrees; // unwrapped, 0 at DC for a positive DC gain
    std::vector<double> groupDelay;   // samples
};

// The three frequency views of taps on grid; any number of taps (more taps than grid points
// are folded onto the grid's length first, which leaves the values on the grid exact).
//
// Group delay is the derivative of the phase, Re{DFT(n h) / DFT(h)}, not a difference of
// unwrapped phases. Linear-phase taps (symmetric or antisymmetric to within 1e-9 of the largest
// tap, zeros at either end aside) have the constant delay of their centre everywhere, also at their
// zeros on the unit circle, where the quotient is 0/0; so they get that value exactly. Other taps
// get the quotient, and at a zero of H, where rounding would swamp it, its limit Re{DFT(n^2 h) / (2
// DFT(n h))}. Where both vanish (all taps zero) the delay is not a number.
//
// The phase is unwrapped along the grid against the group delay, so that steps larger than
// half a turn between neighbouring points (long filters on coarse grids) are still followed.
// For linear-phase taps it is the line -centre w exactly, plus a rise of 180 degrees wherever
// the response changes sign (and minus 90 degrees for antisymmetric taps).
FrequencyViews ComputeFrequencyViews(std::span<const double> taps, const FrequencyGrid& grid);

// Every view of one set of taps: the frequency views on a grid, the time views over the taps.
struct ResponseViews {
    FrequencyViews frequency;
    std::vector<double> impulse; // the taps
    std::vector<double> step;

    const std::vector<double>& Values(View view) const;
};

ResponseViews ComputeViews(std::span<const double> taps, const FrequencyGrid& grid);

// s[n] = h[0] + ... + h[n], summed with compensation so that the last value is the taps' sum
// to within one rounding. The impulse response is the taps themselves.
std::vector<double> StepResponse(std::span<const double> taps);

// A step of 1, 2 or 5 times a power of ten giving about `ticks` steps over span; 1 for a span
// that is not positive and finite.
double TickStep(double span, int ticks);

} // namespace taplore
