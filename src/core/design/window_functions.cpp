#include "core/design/window_functions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace taplore {

namespace {

constexpr WindowInfo kWindows[] = {
    {WindowKind::hamming, "hamming", false},
    {WindowKind::rectangular, "rectangular", false},
    {WindowKind::hann, "hann", false},
    {WindowKind::blackman, "blackman", false},
    {WindowKind::blackmanHarris, "blackman-harris", false},
    {WindowKind::kaiser, "kaiser", true},
};

// sum_j a_j cos(j theta), theta = 2 pi k / (n - 1), with the coefficients' signs alternating.
double CosineSum(std::span<const double> a, int k, int n) {
    const double theta = 2.0 * std::numbers::pi * k / (n - 1);
    double sum = 0.0;
    double sign = 1.0;
    for (std::size_t j = 0; j < a.size(); ++j, sign = -sign)
        sum += sign * a[j] * std::cos(static_cast<double>(j) * theta);
    return sum;
}

// The modified Bessel function of the first kind, order 0, by its power series, whose terms
// ((x/2)^j / j!)^2 are all positive: summed until they no longer change the sum.
double BesselI0(double x) {
    const double half = x / 2;
    double term = 1.0;
    double sum = 1.0;
    for (int j = 1; term > sum * 1e-17; ++j) {
        term *= (half / j) * (half / j);
        sum += term;
    }
    return sum;
}

double Kaiser(int k, int n, double beta) {
    const double t = 2.0 * k / (n - 1) - 1.0;
    return BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - t * t))) / BesselI0(beta);
}

} // namespace

std::span<const WindowInfo> Windows() {
    return kWindows;
}

const WindowInfo& InfoOf(WindowKind kind) {
    return *std::find_if(std::begin(kWindows), std::end(kWindows),
                         [kind](const WindowInfo& window) { return window.kind == kind; });
}

const WindowInfo* FindWindow(std::string_view name) {
    for (const WindowInfo& window : kWindows)
        if (window.name == name)
            return &window;
    return nullptr;
}

double WindowAt(WindowKind kind, int k, int n, double parameter) {
    if (kind == WindowKind::hamming)
        return DialogHammingAt(k, n);
    if (n == 1)
        return 1.0;
    static constexpr double kHann[] = {0.5, 0.5};
    static constexpr double kBlackman[] = {0.42, 0.5, 0.08};
    static constexpr double kBlackmanHarris[] = {0.35875, 0.48829, 0.14128, 0.01168};
    switch (kind) {
    case WindowKind::hann:
        return CosineSum(kHann, k, n);
    case WindowKind::blackman:
        return CosineSum(kBlackman, k, n);
    case WindowKind::blackmanHarris:
        return CosineSum(kBlackmanHarris, k, n);
    case WindowKind::kaiser:
        return Kaiser(k, n, parameter);
    default:
        return 1.0;
    }
}

int DesignWindowFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1,
                       double f2, WindowKind kind, double parameter, unsigned threads,
                       const Progress& progress) {
    if (kind == WindowKind::hamming)
        return DesignFilter(pCoef, nCoef, order, f1, f2, threads, progress);
    return DesignFilterWindowed(
        pCoef, nCoef, order, f1, f2,
        [kind, parameter](int k, int n) { return WindowAt(kind, k, n, parameter); }, threads,
        progress);
}

} // namespace taplore
