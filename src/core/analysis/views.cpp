#include "core/analysis/views.h"

#include "core/io/memory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace taplore {
namespace {

constexpr std::array<ViewInfo, 6> kViews = {{
    {View::magnitude, "magnitude", "Magnitude", "dB", true},
    {View::phase, "phase", "Phase", "degrees", true},
    {View::groupDelay, "group-delay", "Group delay", "samples", true},
    {View::impulse, "impulse", "Impulse response", "", false},
    {View::step, "step", "Step response", "", false},
    {View::zeros, "zeros", "Zeros", "", false},
}};

constexpr double kDegrees = 180.0 / std::numbers::pi;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where the quotient G/H is left for its limit: its rounding error, about 1e-15 S |G| / |H|^2
// for taps whose absolute values sum to S, would pass 1e-6 samples.
constexpr double kNearZero = 1e-9;

// Below this share of the taps' absolute sum, a linear-phase response is taken as zero: its
// measured phase there is rounding, not the response's sign.
constexpr double kSignFloor = 1e-8;

// Taps count as mirrored when each pair differs by less than this share of the largest tap.
// The window-method designer's own taps depart from symmetry by up to 8e-11 of it (its window
// turns by 6.283185307, not quite 2 pi), which would otherwise put group-delay spikes of
// thousands of samples next to every zero of a linear-phase design.
constexpr double kMirrorTolerance = 1e-9;

// Linear-phase taps: h[first + i] = +-h[last - i] between the first and the last tap that is
// not zero.
struct Mirror {
    double centre;
    bool antisymmetric;
    double absoluteSum;
};

// The mirror of linear-phase taps; nullopt for other taps and for taps that are all zero.
std::optional<Mirror> MirrorOf(std::span<const double> taps) {
    const auto nonZero = [](double tap) { return tap != 0.0; };
    const auto first = std::find_if(taps.begin(), taps.end(), nonZero);
    if (first == taps.end())
        return std::nullopt;
    const auto last = std::find_if(taps.rbegin(), taps.rend(), nonZero).base() - 1;
    double largest = 0.0, absoluteSum = 0.0;
    for (auto tap = first; tap <= last; ++tap) {
        largest = std::max(largest, std::abs(*tap));
        absoluteSum += std::abs(*tap);
    }
    const double tolerance = kMirrorTolerance * largest;
    const auto mirrored = [first, last, tolerance](double sign) {
        for (auto a = first, b = last; a < b; ++a, --b)
            if (!(std::abs(*a - sign * *b) <= tolerance))
                return false;
        return true;
    };
    const bool symmetric = mirrored(1.0);
    if (!symmetric && !mirrored(-1.0))
        return std::nullopt;
    return Mirror{static_cast<double>((first - taps.begin()) + (last - taps.begin())) / 2.0,
                  !symmetric, absoluteSum};
}

// weight(n) * h[n], folded onto the transform's length (the sum of every tap that falls on the
// same point of the grid) and transformed: the response's values on the grid.
template <typename Weight>
std::vector<Complex> FoldedTransform(std::span<const double> taps, const FftPlan& plan,
                                     Weight weight) {
    const std::size_t length = static_cast<std::size_t>(plan.Size());
    std::vector<Complex> work(length, Complex{0.0, 0.0});
    for (std::size_t n = 0, r = 0; n < taps.size(); ++n, r = r + 1 == length ? 0 : r + 1) {
        const Complex value = weight(n, taps[n]);
        work[r].re += value.re;
        work[r].im += value.im;
    }
    plan.Transform(work.data());
    return work;
}

// The response H and the transform G of (n - centre) h, from one transform of both at once:
// h in the real part and the other, scaled by a power of two to h's size, in the imaginary
// part. Real inputs have conjugate-symmetric transforms, which tells the two apart.
struct ResponseAndSlope {
    std::vector<Complex> h, g;
};

ResponseAndSlope TransformBoth(std::span<const double> taps, double centre, const FftPlan& plan,
                               int points) {
    const double scale = std::ldexp(1.0, -(std::ilogb(centre + 1.0) + 1));
    const std::vector<Complex> z =
        FoldedTransform(taps, plan, [centre, scale](std::size_t n, double tap) {
            return Complex{tap, (static_cast<double>(n) - centre) * scale * tap};
        });
    const std::size_t length = z.size();
    ResponseAndSlope both{std::vector<Complex>(points), std::vector<Complex>(points)};
    for (int k = 0; k < points; ++k) {
        const Complex a = z[k];
        const Complex b = z[(length - k) % length]; // its conjugate belongs to the mirror bin
        both.h[k] = {(a.re + b.re) / 2, (a.im - b.im) / 2};
        both.g[k] = {(a.im + b.im) / (2 * scale), (b.re - a.re) / (2 * scale)};
    }
    return both;
}

double Power(Complex c) {
    return c.re * c.re + c.im * c.im;
}

// Re{a conj(b)} / |b|^2: the real part of a / b.
double RealQuotient(Complex a, Complex b) {
    return (a.re * b.re + a.im * b.im) / Power(b);
}

std::vector<double> GroupDelayOfAnyTaps(std::span<const double> taps, const FftPlan& plan,
                                        int points, std::vector<Complex>& h) {
    const double centre = (static_cast<double>(taps.size()) - 1) / 2;
    ResponseAndSlope both = TransformBoth(taps, centre, plan, points);
    double absoluteSum = 0.0;
    for (const double tap : taps)
        absoluteSum += std::abs(tap);
    std::vector<double> delay(static_cast<std::size_t>(points));
    std::vector<Complex> curvature; // the transform of (n - centre)^2 h, made when first needed
    for (int k = 0; k < points; ++k) {
        const Complex hk = both.h[k], gk = both.g[k];
        if (Power(hk) > kNearZero * absoluteSum * std::sqrt(Power(gk))) {
            delay[k] = centre + RealQuotient(gk, hk);
            continue;
        }
        if (Power(gk) == 0.0) {
            delay[k] = kNaN;
            continue;
        }
        if (curvature.empty())
            curvature = FoldedTransform(taps, plan, [centre](std::size_t n, double tap) {
                const double offset = static_cast<double>(n) - centre;
                return Complex{offset * offset * tap, 0.0};
            });
        delay[k] = centre + RealQuotient(curvature[k], gk) / 2;
    }
    h = std::move(both.h);
    return delay;
}

double PhaseDegrees(Complex c) {
    return std::atan2(c.im, c.re) * kDegrees;
}

// Linear-phase taps: H(w) e^(i w centre) is real (antisymmetric taps: imaginary), so the phase
// is the line -centre w, a quarter turn back for antisymmetric taps, and half a turn more for
// every change of that amplitude's sign along the grid, which the measured phase tells.
std::vector<double> LinearPhase(const std::vector<Complex>& h, const Mirror& mirror) {
    const double interval = 180.0 / static_cast<double>(h.size());
    const double quarter = mirror.antisymmetric ? -90.0 : 0.0;
    const double floor = kSignFloor * mirror.absoluteSum;
    std::vector<double> phase(h.size());
    std::optional<bool> negative; // the amplitude's sign where it last had one
    double turns = 0.0;           // half turns gained so far
    for (std::size_t k = 0; k < h.size(); ++k) {
        const double line = -mirror.centre * static_cast<double>(k) * interval + quarter;
        if (Power(h[k]) > floor * floor) {
            const bool isNegative = std::abs(std::remainder(PhaseDegrees(h[k]) - line, 360.0)) > 90;
            if (negative ? isNegative != *negative : isNegative)
                turns += 180.0;
            negative = isNegative;
        }
        phase[k] = line + turns;
    }
    return phase;
}

// Point k's phase follows point k - 1's by the step the group delay predicts (its mean over
// the interval times the interval), corrected by the measured phase to within half a turn.
std::vector<double> UnwrappedPhase(const std::vector<Complex>& h,
                                   const std::vector<double>& groupDelay) {
    const double interval = 180.0 / static_cast<double>(h.size()); // degrees between points
    std::vector<double> phase(h.size());
    double previous = 0.0; // the last measured phase, or where zeros of H continued it
    for (std::size_t k = 0; k < h.size(); ++k) {
        const double mean = k == 0 ? kNaN : (groupDelay[k - 1] + groupDelay[k]) / 2;
        const double predicted = std::isnan(mean) ? 0.0 : -mean * interval;
        const double start = k == 0 ? 0.0 : phase[k - 1];
        if (Power(h[k]) == 0.0) { // no phase of its own: the prediction carries on
            phase[k] = start + predicted;
            previous += predicted;
            continue;
        }
        const double raw = PhaseDegrees(h[k]);
        if (k == 0) {
            phase[k] = previous = raw;
            continue;
        }
        const double difference = raw - previous - predicted;
        phase[k] = start + predicted + std::remainder(difference, 360.0);
        previous = raw;
    }
    return phase;
}

} // namespace

std::span<const ViewInfo> Views() {
    return kViews;
}

const ViewInfo& InfoOf(View view) {
    return kViews[static_cast<std::size_t>(view)];
}

std::optional<View> ViewNamed(std::string_view name) {
    for (const ViewInfo& info : kViews)
        if (info.name == name)
            return info.view;
    return std::nullopt;
}

FrequencyGrid::FrequencyGrid(int points)
    : m_points(points), m_plan(points >= 1 && points <= kMaxPoints
                                   ? 2 * points
                                   : throw std::invalid_argument("FrequencyGrid: points")) {}

int MostViewPoints() {
    return static_cast<int>(
        std::min<std::uint64_t>(FrequencyGrid::kMaxPoints, mem::FreeBytes() / kBytesPerViewPoint));
}

FrequencyViews ComputeFrequencyViews(std::span<const double> taps, const FrequencyGrid& grid) {
    const int points = grid.Points();
    FrequencyViews views;
    std::vector<Complex> h;
    if (const auto mirror = MirrorOf(taps)) {
        h = FoldedTransform(taps, grid.Plan(), [](std::size_t, double tap) {
            return Complex{tap, 0.0};
        });
        h.resize(static_cast<std::size_t>(points));
        views.groupDelay.assign(h.size(), mirror->centre);
        views.phaseDegrees = LinearPhase(h, *mirror);
    } else {
        views.groupDelay = GroupDelayOfAnyTaps(taps, grid.Plan(), points, h);
        views.phaseDegrees = UnwrappedPhase(h, views.groupDelay);
    }
    views.magnitudeDb.resize(h.size());
    std::transform(h.begin(), h.end(), views.magnitudeDb.begin(),
                   [](Complex c) { return 10.0 * std::log10(Power(c)); });
    return views;
}

const std::vector<double>& ResponseViews::Values(View view) const {
    switch (view) {
    case View::magnitude:
        return frequency.magnitudeDb;
    case View::phase:
        return frequency.phaseDegrees;
    case View::groupDelay:
        return frequency.groupDelay;
    case View::impulse:
        return impulse;
    case View::step:
        break;
    case View::zeros:
        // FindZeros finds them; they are no values on a grid.
        throw std::invalid_argument("ResponseViews: the zeros");
    }
    return step;
}

ResponseViews ComputeViews(std::span<const double> taps, const FrequencyGrid& grid) {
    return {ComputeFrequencyViews(taps, grid), {taps.begin(), taps.end()}, StepResponse(taps)};
}

std::vector<double> StepResponse(std::span<const double> taps) {
    std::vector<double> step(taps.size());
    double sum = 0.0, compensation = 0.0; // Neumaier's: the low bits each addition lost
    for (std::size_t n = 0; n < taps.size(); ++n) {
        const double next = sum + taps[n];
        compensation +=
            std::abs(sum) >= std::abs(taps[n]) ? (sum - next) + taps[n] : (taps[n] - next) + sum;
        sum = next;
        step[n] = sum + compensation;
    }
    return step;
}

double TickStep(double span, int ticks) {
    if (!(span > 0) || !std::isfinite(span))
        return 1.0;
    const double raw = span / ticks;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double multiple : {1.0, 2.0, 5.0})
        if (multiple * decade >= raw)
            return multiple * decade;
    return 10 * decade;
}

} // namespace taplore
