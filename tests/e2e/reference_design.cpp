#include "reference_design.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace e2e {

namespace {

// Full-precision pi for the ideal responses, exactly twice it for the window.
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * kPi;

enum class Band { none, lowPass, highPass, bandPass, bandStop };

Band BandOf(double f1, double f2) {
    if (f1 == 0 && f2 < 1)
        return Band::lowPass;
    if (f1 > 0 && f2 == 1)
        return Band::highPass;
    if (f1 > 0 && f2 < 1 && f1 < f2)
        return Band::bandPass;
    if (f1 > 0 && f2 < 1 && f1 > f2)
        return Band::bandStop;
    return Band::none;
}

double IdealSideTap(Band band, double t, double f1, double f2) {
    switch (band) {
    case Band::lowPass:
        return std::sin(t * f2) / t;
    case Band::highPass:
        return std::sin(t * f1) / t;
    case Band::bandPass:
        return 2 * std::sin(t * (f2 - f1) * 0.5) * std::cos(t * (f2 + f1) * 0.5) / t;
    case Band::bandStop:
        return 2 * std::sin(t * (f1 - f2) * 0.5) * std::cos(t * (f2 + f1) * 0.5) / t;
    case Band::none:
        break;
    }
    return 0.0;
}

double IdealCentreTap(Band band, double f1, double f2) {
    switch (band) {
    case Band::lowPass:
        return f2;
    case Band::highPass:
        return f1;
    case Band::bandPass:
        return f2 - f1;
    case Band::bandStop:
        return f1 - f2;
    case Band::none:
        break;
    }
    return 0.0;
}

} // namespace

std::vector<double> ReferenceTaps(int order, double f1, double f2) {
    const int n = order % 2 != 0 ? order : order + 1;
    const int c = (n - 1) / 2;
    std::vector<double> h(static_cast<std::size_t>(n), 0.0);
    const Band band = BandOf(f1, f2);
    if (band == Band::none)
        return h;

    // Ideal response, symmetric about the centre tap.
    h[c] = IdealCentreTap(band, f1, f2);
    for (int j = 1; j <= c; ++j) {
        const double t = kPi * j;
        h[c + j] = IdealSideTap(band, t, f1, f2);
        h[c - j] = h[c + j];
    }

    // Hamming window; high-pass and band-stop are negated for the spectral inversion.
    const bool inverted = band == Band::highPass || band == Band::bandStop;
    const double step = kTwoPi / (n - 1);
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
        const double w = 0.54 - std::cos(k * step) * 0.46;
        h[k] = inverted ? -(w * h[k]) : w * h[k];
        if (band == Band::highPass && k % 2 != 0)
            sum -= h[k];
        else
            sum += h[k];
    }
    if (inverted) {
        h[c] += 1;
        sum += 1;
    }
    // Divided by the signed sum: the taps sum to +1 even when the windowed sum is negative.
    if (band != Band::bandPass)
        for (double& tap : h)
            tap /= sum;
    return h;
}

std::string ReferenceLabel(int pos, double rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%8.1f", pos * rate * 0.5 / 1000);
    return text;
}

double NormalisedCutoff(const std::string& label, double rate) {
    return (std::strtod(label.c_str(), nullptr) / rate) * 2;
}

std::vector<double> ReferenceTapsForSliders(int order, int lowPos, int highPos, double rate) {
    return ReferenceTaps(order, NormalisedCutoff(ReferenceLabel(lowPos, rate), rate),
                         NormalisedCutoff(ReferenceLabel(highPos, rate), rate));
}

std::string FormatTap(double value) {
    if (std::isnan(value))
        return "nan";
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

} // namespace e2e
