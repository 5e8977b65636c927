#include "core/formats/fixed_point.h"

#include "core/analysis/fft.h"
#include "core/analysis/log_magnitude.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>

namespace {

// The shortest transform, so that a short filter's cost is read on the spectrum's own grid.
constexpr unsigned kMinCostPoints = kSpectrumPoints;

unsigned CostPoints(int count) {
    const auto taps = static_cast<unsigned>(count);
    // Beyond 2^30 taps the transform length no longer fits the FFT's int.
    if (taps > (1u << 30))
        throw std::bad_alloc();
    return std::max(kMinCostPoints, std::bit_ceil(taps));
}

} // namespace

NoFixedPointForm::NoFixedPointForm()
    : std::runtime_error("The coefficients are not all finite: no fixed-point form.") {}

std::string_view QFormatName(QFormat format) {
    return format == QFormat::q15 ? "Q15" : "Q31";
}

double QFormatScale(QFormat format) {
    return format == QFormat::q15 ? 32768.0 : 2147483648.0;
}

FixedPointTaps Quantise(const double* coef, int count, QFormat format) {
    const double scale = QFormatScale(format);
    FixedPointTaps taps{format, {}, 0};
    taps.values.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        if (!std::isfinite(coef[k]))
            throw NoFixedPointForm();
        // Scaling by a power of two is exact, and std::round takes halves away from zero, so
        // the only rounding is the one asked for.
        const double q = std::round(coef[k] * scale);
        const double clipped = std::clamp(q, -scale, scale - 1);
        taps.saturated += clipped != q;
        taps.values.push_back(static_cast<std::int32_t>(clipped));
    }
    return taps;
}

std::vector<double> Dequantise(const FixedPointTaps& taps) {
    const double scale = QFormatScale(taps.format);
    std::vector<double> values(taps.values.size());
    std::transform(taps.values.begin(), taps.values.end(), values.begin(),
                   [scale](std::int32_t q) { return q / scale; });
    return values;
}

double QuantisationCostDb(const double* coef, const FixedPointTaps& taps) {
    const int count = static_cast<int>(taps.values.size());
    const double scale = QFormatScale(taps.format);
    // The transform is linear: one transform of the tap errors gives H_q - H directly.
    std::vector<Complex> work(CostPoints(count), Complex{0.0, 0.0});
    for (int k = 0; k < count; ++k)
        work[k].re = taps.values[k] / scale - coef[k];
    if (FFT(work.data(), static_cast<int>(work.size())) < 0)
        throw std::bad_alloc();
    double largestPower = 0.0;
    for (const Complex& bin : work)
        largestPower = std::max(largestPower, bin.re * bin.re + bin.im * bin.im);
    return 10.0 * std::log10(largestPower);
}
