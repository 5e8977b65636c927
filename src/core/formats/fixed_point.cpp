#include "core/formats/fixed_point.h"

#include "core/analysis/fft.h"
#include "core/analysis/log_magnitude.h"
#include "core/formats/crt.h"

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

std::int32_t QFormat::Largest() const {
    return static_cast<std::int32_t>((std::int64_t{1} << (bits - 1)) - 1);
}

std::int32_t QFormat::Smallest() const {
    return static_cast<std::int32_t>(-(std::int64_t{1} << (bits - 1)));
}

std::optional<QFormat> ParseQFormat(std::string_view text) {
    // Digits only: no sign, blank or exponent is part of a width.
    if (text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    const std::size_t point = text.find('.');
    const auto bits = crt::StrictAtoi(text.substr(0, point));
    if (!bits)
        return std::nullopt;
    const auto fraction =
        point == std::string_view::npos ? *bits - 1 : crt::StrictAtoi(text.substr(point + 1));
    if (!fraction)
        return std::nullopt;
    if (*bits < QFormat::kMinBits || *bits > QFormat::kMaxBits || *fraction < 0 ||
        *fraction > QFormat::kMaxFraction)
        return std::nullopt;
    return QFormat{*bits, *fraction};
}

std::string QFormatName(QFormat format) {
    std::string name = "Q";
    name += crt::FormatD(format.fraction);
    if (format != QFormat::q15 && format != QFormat::q31)
        name += " in " + crt::FormatD(format.bits) + " bits";
    return name;
}

double QFormatScale(QFormat format) {
    return std::ldexp(1.0, format.fraction);
}

FixedPointTaps Quantise(const double* coef, int count, QFormat format) {
    const double scale = QFormatScale(format);
    const double smallest = format.Smallest(), largest = format.Largest();
    FixedPointTaps taps{format, {}, 0};
    taps.values.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        if (!std::isfinite(coef[k]))
            throw NoFixedPointForm();
        // Scaling by a power of two is exact, and std::round takes halves away from zero, so
        // the only rounding is the one asked for.
        const double q = std::round(coef[k] * scale);
        const double clipped = std::clamp(q, smallest, largest);
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

std::string QuantisationNote(const double* coef, const FixedPointTaps& taps) {
    std::string note = QFormatName(taps.format) + " (tap x " +
                       crt::FormatShortest(QFormatScale(taps.format)) +
                       (taps.searched ? ", roundings searched" : ", rounded") + ", saturated): ";
    note += crt::FormatD(taps.saturated) + (taps.saturated == 1 ? " tap" : " taps");
    // "%.1f": the cost is a figure to read, not to compute with.
    const std::string cost = crt::FormatF8_1(QuantisationCostDb(coef, taps));
    note += " saturated, response within " + cost.substr(cost.find_first_not_of(' '));
    note += " dB of the double design";
    return note;
}
