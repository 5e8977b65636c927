#include "core/fir_design.h"

#include "core/memory.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
// The window's constant is exactly twice the double the ideal responses use.
constexpr double kTwoPi = 2.0 * kPi;

enum class BandType { none, lowPass, highPass, bandPass, bandStop };

// The band tests treat a not-a-number operand as satisfying "=" and "<" and failing ">";
// plain C++ comparisons fail all three, so these helpers spell the rule out.
bool EqualOrNaN(double a, double b) {
    return !(a < b) && !(a > b);
}
bool LessOrNaN(double a, double b) {
    return !(a >= b);
}
bool GreaterNotNaN(double a, double b) {
    return a > b;
}

// The first row of the band table whose condition holds.
BandType SelectBand(double f1, double f2) {
    if (EqualOrNaN(f1, 0.0) && LessOrNaN(f2, 1.0))
        return BandType::lowPass;
    if (GreaterNotNaN(f1, 0.0) && EqualOrNaN(f2, 1.0))
        return BandType::highPass;
    if (GreaterNotNaN(f1, 0.0) && LessOrNaN(f2, 1.0) && LessOrNaN(f1, f2))
        return BandType::bandPass;
    if (GreaterNotNaN(f1, 0.0) && LessOrNaN(f2, 1.0) && GreaterNotNaN(f1, f2))
        return BandType::bandStop;
    return BandType::none;
}

double CentreTap(BandType type, double f1, double f2) {
    switch (type) {
    case BandType::lowPass:
        return f2;
    case BandType::highPass:
        return f1;
    case BandType::bandPass:
        return f2 - f1;
    default:
        return f1 - f2;
    }
}

// Ideal response at distance j from the centre, with t = pi*j.
double SideTap(BandType type, double t, double f1, double f2) {
    switch (type) {
    case BandType::lowPass:
        return std::sin(t * f2) / t;
    case BandType::highPass:
        return std::sin(t * f1) / t;
    case BandType::bandPass:
        return 2.0 * (std::sin(t * (f2 - f1) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
    default:
        return 2.0 * (std::sin(t * (f1 - f2) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
    }
}

void FillIdealResponse(double* h, int centre, BandType type, double f1, double f2) {
    h[centre] = CentreTap(type, f1, f2);
    for (int j = 1; j <= centre; ++j) {
        const double t = kPi * j;
        h[centre + j] = SideTap(type, t, f1, f2);
        h[centre - j] = h[centre + j];
    }
}

// High-pass and band-stop are made from their complements by spectral inversion.
bool IsInverted(BandType type) {
    return type == BandType::highPass || type == BandType::bandStop;
}

// Applies the Hamming window and returns the running sum used for normalisation:
// plain for low-pass and band-stop, alternating for high-pass (gain at Nyquist).
double ApplyWindow(double* h, int n, BandType type) {
    const double step = kTwoPi / (n - 1);
    const bool inverted = IsInverted(type);
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
        const double w = 0.54 - std::cos(k * step) * 0.46;
        h[k] = inverted ? -(w * h[k]) : w * h[k];
        if (type == BandType::highPass && k % 2 != 0)
            sum -= h[k];
        else
            sum += h[k];
    }
    return sum;
}

// Signed, so that a negative sum still leaves the taps summing to +1.
void Normalise(double* h, int n, double sum) {
    for (int k = 0; k < n; ++k)
        h[k] = h[k] / sum;
}

} // namespace

int DesignFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2) {
    // Parity of the signed order: -4 is even and gives -3, which fails to allocate.
    const std::int64_t taps = order % 2 != 0 ? std::int64_t{order} : std::int64_t{order} + 1;

    pCoef.reset();
    nCoef = 0;
    pCoef = mem::AllocateArray<double>(taps);
    if (!pCoef)
        return -1;
    const int n = static_cast<int>(taps);
    nCoef = n;

    const BandType type = SelectBand(f1, f2);
    if (type == BandType::none)
        return n; // the fresh array is zero-filled, so no leftover memory shows

    double* h = pCoef.get();
    const int centre = (n - 1) / 2;
    FillIdealResponse(h, centre, type, f1, f2);
    double sum = ApplyWindow(h, n, type);
    if (IsInverted(type)) {
        h[centre] = h[centre] + 1.0;
        sum = sum + 1.0;
    }
    if (type != BandType::bandPass)
        Normalise(h, n, sum);
    return n;
}
