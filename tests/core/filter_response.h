#pragma once
// What a filter's taps do, summed directly from their definition: the check the designers are
// held to, independent of how they compute.

#include "core/design/requirements.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace filter_response {

inline std::complex<double> Response(const std::vector<double>& taps, double omega) {
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < taps.size(); ++n)
        sum += taps[n] * std::polar(1.0, -omega * static_cast<double>(n));
    return sum;
}

// The real amplitude A of a linear-phase response H = A e^(-j w c) (symmetric taps) or
// H = j A e^(-j w c) (antisymmetric taps), c the centre.
inline double Amplitude(const std::vector<double>& taps, double omega, bool antisymmetric) {
    const double centre = (static_cast<double>(taps.size()) - 1) / 2;
    const std::complex<double> turned = Response(taps, omega) * std::polar(1.0, omega * centre);
    return antisymmetric ? turned.imag() : turned.real();
}

// The band as asked at hz: a sloped band's point of its line, as a band of that one gain.
inline taplore::Band AtFrequency(taplore::Band band, double hz) {
    if (band.endGain)
        band.gain += (*band.endGain - band.gain) * (hz - band.lowHz) / (band.highHz - band.lowHz);
    band.endGain.reset();
    return band;
}

// The weighted error W (D - A) the design minimises, from the taps. A differentiator's is
// 0/0 at 0 Hz: its limit there is taken a hair above.
inline double WeightedError(const std::vector<double>& taps, const taplore::Band& band,
                            taplore::ResponseKind kind, double omega) {
    using taplore::ResponseKind;
    if (kind == ResponseKind::differentiator)
        omega = std::max(omega, 1e-6);
    const double amplitude = Amplitude(taps, omega, kind != ResponseKind::ordinary);
    switch (kind) {
    case ResponseKind::hilbert: // the Hilbert transform's -j
        return band.weight * (-band.gain - amplitude);
    case ResponseKind::differentiator:
        return band.weight / omega * (band.gain * omega - amplitude);
    default:
        return band.weight * (band.gain - amplitude);
    }
}

inline double Radians(double hz, double rate) {
    return 2 * std::numbers::pi * hz / rate;
}

// The largest | |H| - asked | over a band, on 4000 points and its edges.
inline double LargestDeviation(const std::vector<double>& taps, const taplore::Band& band,
                               double rate) {
    double largest = 0.0;
    for (int i = 0; i <= 4000; ++i) {
        const double hz = band.lowHz + (band.highHz - band.lowHz) * i / 4000;
        largest = std::max(
            largest, std::fabs(std::abs(Response(taps, Radians(hz, rate))) - std::fabs(band.gain)));
    }
    return largest;
}

// Whether the taps keep pass/stop tolerances in every band.
inline bool Meets(const std::vector<double>& taps, const taplore::Requirements& r) {
    for (const taplore::Band& band : r.bands) {
        const double db =
            band.toleranceDb.value_or(band.gain == 1.0 ? r.rippleDb : r.attenuationDb);
        const double tolerance =
            band.gain == 1.0 ? taplore::PassDeviation(db) : taplore::StopDeviation(db);
        if (!(LargestDeviation(taps, band, r.rate) <= tolerance))
            return false;
    }
    return true;
}

} // namespace filter_response
