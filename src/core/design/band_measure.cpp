#include "core/design/band_measure.h"

#include "core/analysis/fft.h"
#include "core/io/memory.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <numbers>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kPointsPerTap = 32;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kMinimumTransform = 1024;

double Asked(const Requirements& r, const Band& band, double omega) {
    const double gain = std::fabs(GainAt(band, omega / kPi * (r.rate / 2)));
    return r.kind == ResponseKind::differentiator ? gain * omega : gain;
}

// The response on the dense grid the measures share: bins 0 ... length/2 of a transform of
// `length` points.
struct DenseBins {
    int length = 0;
    std::vector<Complex> bins;
};

DenseBins Transformed(const std::vector<double>& taps, RealFftPlan& plan) {
    DenseBins dense;
    dense.length = plan.Size();
    std::vector<double> padded(dense.length);
    std::copy(taps.begin(), taps.end(), padded.begin());
    dense.bins.resize(dense.length / 2 + 1);
    plan.Forward(padded.data(), dense.bins.data());
    return dense;
}

// A design's deviations, gains and peak are measured one after another on the same taps, and
// a search's lengths share a transform length: each thread keeps its last plan and spectrum.
const DenseBins& DenseSpectrum(const std::vector<double>& taps) {
    const auto points = static_cast<unsigned>(
        std::max<std::size_t>(kMinimumTransform, 2 * kPointsPerTap * taps.size()));
    const int length = static_cast<int>(std::bit_ceil(points));
    // The padded taps, the bins and the plan's tables: about 48 bytes a point.
    if (!mem::Fits(length, 48))
        throw std::bad_alloc();
    thread_local std::unique_ptr<RealFftPlan> plan;
    thread_local std::vector<double> lastTaps;
    thread_local DenseBins last;
    // Compared bit for bit: a not-a-number tap never equals itself, and is transformed anew.
    const bool same = taps.size() == lastTaps.size() &&
                      std::memcmp(taps.data(), lastTaps.data(), taps.size() * sizeof(double)) == 0;
    if (same && last.length == length)
        return last;
    if (!plan || plan->Size() != length) {
        plan.reset(); // the old tables go before the new ones are made
        plan = std::make_unique<RealFftPlan>(length);
    }
    last = {};
    last = Transformed(taps, *plan);
    lastTaps = taps;
    return last;
}

template <class Visit>
void OverBands(const std::vector<double>& taps, const Requirements& requirements,
               const Visit& visit) {
    const DenseBins& dense = DenseSpectrum(taps);
    const int length = dense.length;
    const std::vector<Complex>& bins = dense.bins;
    for (std::size_t b = 0; b < requirements.bands.size(); ++b) {
        const Band& band = requirements.bands[b];
        const double low = kPi * band.lowHz / (requirements.rate / 2);
        const double high = kPi * band.highHz / (requirements.rate / 2);
        visit(b, low, MagnitudeAt(taps, low));
        visit(b, high, MagnitudeAt(taps, high));
        const int first = static_cast<int>(std::ceil(low / (2 * kPi) * length));
        for (int m = first; m <= length / 2; ++m) {
            const double omega = 2 * kPi * m / length;
            if (omega > high)
                break;
            visit(b, omega, std::hypot(bins[m].re, bins[m].im));
        }
    }
}

} // namespace

double MagnitudeAt(const std::vector<double>& taps, double omega) {
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < taps.size(); ++n) {
        re += taps[n] * std::cos(omega * static_cast<double>(n));
        im -= taps[n] * std::sin(omega * static_cast<double>(n));
    }
    return std::hypot(re, im);
}

std::vector<double> MeasureDeviations(const std::vector<double>& taps,
                                      const Requirements& requirements) {
    std::vector<double> deviations(requirements.bands.size(), 0.0);
    OverBands(taps, requirements, [&](std::size_t b, double omega, double magnitude) {
        const Band& band = requirements.bands[b];
        const double asked = Asked(requirements, band, omega);
        // NaN stays: a comparison with it would drop it silently.
        const double d = std::fabs(magnitude - asked) / (band.relative ? asked : 1.0);
        double& deviation = deviations[b];
        deviation = std::isnan(d) || std::isnan(deviation) ? kNaN : std::max(deviation, d);
    });
    return deviations;
}

std::vector<GainRange> MeasureGains(const std::vector<double>& taps,
                                    const Requirements& requirements) {
    std::vector<GainRange> gains(requirements.bands.size(),
                                 {std::numeric_limits<double>::infinity(), 0.0});
    OverBands(taps, requirements, [&](std::size_t b, double, double magnitude) {
        gains[b].lowest = std::min(gains[b].lowest, magnitude);
        gains[b].highest = std::max(gains[b].highest, magnitude);
    });
    return gains;
}

Peak PeakOutsideBands(const std::vector<double>& taps, const Requirements& requirements) {
    const DenseBins& dense = DenseSpectrum(taps);
    const int length = dense.length;
    const std::vector<Complex>& bins = dense.bins;
    Peak peak;
    for (int m = 0; m <= length / 2; ++m) {
        const double hz = requirements.rate * m / length;
        const bool inside =
            std::any_of(requirements.bands.begin(), requirements.bands.end(),
                        [hz](const Band& band) { return hz >= band.lowHz && hz <= band.highHz; });
        const double magnitude = std::hypot(bins[m].re, bins[m].im);
        const bool higher = std::isnan(magnitude) || magnitude > peak.magnitude;
        if (!inside && !std::isnan(peak.magnitude) && higher)
            peak = {magnitude, hz};
    }
    return peak;
}

bool MeetsTolerances(const std::vector<double>& deviations, const Requirements& requirements) {
    for (std::size_t i = 0; i < deviations.size(); ++i)
        if (!(deviations[i] <= AllowedDeviation(requirements, requirements.bands[i])))
            return false;
    return true;
}

} // namespace taplore
