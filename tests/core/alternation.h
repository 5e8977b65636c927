#pragma once
// The alternation theorem as a check: the best approximation with r free coefficients is the one
// whose weighted error reaches its largest magnitude, with alternating signs, at r + 1
// frequencies of the bands.

#include "core/analysis/fft.h"
#include "core/design/requirements.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <vector>

namespace alternation {

// The cosine (or sine) coefficients the taps' symmetry leaves free.
inline int FreeCoefficients(int taps, taplore::ResponseKind kind) {
    if (kind == taplore::ResponseKind::ordinary)
        return taps % 2 == 1 ? (taps + 1) / 2 : taps / 2;
    return taps % 2 == 1 ? (taps - 1) / 2 : taps / 2;
}

// The weighted error at one frequency.
struct Sample {
    double hz;
    double error;
};

struct Alternation {
    double largest = 0.0; // max |E|
    int extrema = 0;      // alternating extrema within 1e-3 of it
};

// The longest run of sign alternations among the points within 1e-3 of the largest |E| (the
// samples in increasing frequency): one for each change of sign between consecutive such
// points, plus the first.
inline Alternation Alternations(const std::vector<Sample>& curve) {
    Alternation result;
    for (const Sample& s : curve)
        result.largest = std::max(result.largest, std::fabs(s.error));
    double lastSign = 0.0;
    for (const Sample& s : curve) {
        if (std::fabs(s.error) < result.largest * (1 - 1e-3))
            continue;
        const double sign = s.error < 0 ? -1.0 : 1.0;
        if (sign != lastSign)
            ++result.extrema;
        lastSign = sign;
    }
    return result;
}

// The amplitude of odd-length symmetric taps at w = pi m / steps, m = 0 ... steps:
// A(w) = h_c + 2 sum_k h_(c+k) cos(k w), the real parts of one real transform of the sum's terms.
// The transform's twiddles are exact to a rounding, where cos(k w) summed directly errs by k w
// roundings: at 200 dB that is percents of a ripple.
inline std::vector<double> OddSymmetricAmplitude(const std::vector<double>& taps, int steps) {
    const std::size_t centre = (taps.size() - 1) / 2;
    std::vector<double> terms(2 * static_cast<std::size_t>(steps), 0.0);
    terms[0] = taps[centre];
    for (std::size_t k = 1; k <= centre; ++k)
        terms[k] = 2 * taps[centre + k];
    std::vector<Complex> bins(steps + 1);
    taplore::RealFftPlan(2 * steps).Forward(terms.data(), bins.data());
    std::vector<double> amplitude(steps + 1);
    for (int m = 0; m <= steps; ++m)
        amplitude[m] = bins[m].re;
    return amplitude;
}

// The same amplitude at one w, summed in long double: in double, k w errs by 1e-14 at 100,000
// taps.
inline double OddSymmetricAmplitudeAt(const std::vector<double>& taps, double omega) {
    const std::size_t centre = (taps.size() - 1) / 2;
    long double sum = taps[centre];
    for (std::size_t k = 1; k <= centre; ++k)
        sum += 2.0L * taps[centre + k] * std::cos(static_cast<long double>(k) * omega);
    return static_cast<double>(sum);
}

// The weighted error of odd-length symmetric taps over bands of one gain each, at rate 2, in
// increasing frequency: the band edges summed directly, the points between from the transform at
// about 157 a ripple, and each peak of |E| at the vertex of the parabola through it and its
// neighbours, within 1e-9 of the peak's height at that density.
inline std::vector<Sample> OddSymmetricErrorCurve(const std::vector<double>& taps,
                                                  const std::vector<taplore::Band>& bands) {
    const int ripples = static_cast<int>(taps.size() + 1) / 2;
    const int steps = static_cast<int>(std::bit_ceil(static_cast<unsigned>(128 * ripples)));
    const std::vector<double> amplitude = OddSymmetricAmplitude(taps, steps);
    std::vector<Sample> curve;
    for (const taplore::Band& band : bands) {
        const auto errorAt = [&band](double a) { return band.weight * (band.gain - a); };
        const auto edge = [&](double hz) {
            return Sample{hz, errorAt(OddSymmetricAmplitudeAt(taps, std::numbers::pi * hz))};
        };
        curve.push_back(edge(band.lowHz));
        const int first = static_cast<int>(std::ceil(band.lowHz * steps));
        const int last = static_cast<int>(std::floor(band.highHz * steps));
        for (int m = first + 1; m < last; ++m) {
            const double left = errorAt(amplitude[m - 1]), here = errorAt(amplitude[m]),
                         right = errorAt(amplitude[m + 1]);
            const double hz = double(m) / steps;
            curve.push_back({hz, here});
            const double bend = left - 2 * here + right;
            if (std::fabs(here) >= std::fabs(left) && std::fabs(here) >= std::fabs(right) &&
                bend != 0.0)
                curve.push_back({hz, here - (left - right) * (left - right) / (8 * bend)});
        }
        curve.push_back(edge(band.highHz));
    }
    return curve;
}

} // namespace alternation
