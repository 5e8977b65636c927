#include "core/dialog/readings.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace taplore {
namespace {

constexpr int kMostDecimals = 17;
constexpr const char* kMinus = "\u2212";

// value rounded to a multiple of step, computed as a division by a power of ten where the step
// is one, so that 0.1 steps give 0.6 and not 6 * 0.1.
double RoundTo(double value, double step) {
    return step < 1 ? std::round(value / step) / std::round(1 / step)
                    : std::round(value / step) * step;
}

// "12808.6" as "12,808.6".
std::string Grouped(const std::string& digits) {
    const std::size_t end = std::min(digits.find('.'), digits.size());
    std::string grouped;
    for (std::size_t i = 0; i < end; ++i) {
        if (i > 0 && (end - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped + digits.substr(end);
}

} // namespace

int DecimalsFor(double resolution) {
    if (!(resolution > 0) || !std::isfinite(resolution))
        return 0;
    // The small tolerance keeps 0.1 at one decimal although log10 of it is not exactly -1.
    const double decimals = std::ceil(-std::log10(resolution) - 1e-9);
    return static_cast<int>(std::clamp(decimals, 0.0, double(kMostDecimals)));
}

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value))
        return crt::FormatShortest(value);
    std::array<char, 400> text{};
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed,
                      std::clamp(decimals, 0, kMostDecimals));
    std::string fixed(text.data(), result.ptr);
    // A negative value that rounds to zero reads as zero.
    if (fixed.front() == '-' && fixed.find_first_not_of("-0.") == std::string::npos)
        fixed.erase(0, 1);
    return fixed;
}

std::string TickText(double value, double step) {
    return FixedText(RoundTo(value, step), DecimalsFor(step));
}

std::string AxisTitle(std::string_view title, std::string_view unit) {
    std::string text(title);
    if (!unit.empty())
        text += " (" + std::string(unit) + ")";
    return text;
}

std::string ReadingText(double value, double resolution, std::string_view unit) {
    const std::string fixed = FixedText(value, DecimalsFor(resolution));
    const bool negative = fixed.front() == '-';
    std::string text = negative ? kMinus : "";
    text.append(Grouped(fixed.substr(negative ? 1 : 0)));
    if (!unit.empty())
        text.append(" ").append(unit);
    return text;
}

int FigureDecimals(double reachedDb, double marginDb) {
    // Two significant digits of the figure, one of the margin.
    const auto digitsOf = [](double value, double scale) {
        return std::isfinite(value) && value != 0 ? DecimalsFor(std::fabs(value) / scale) : 0;
    };
    return std::max({2, digitsOf(reachedDb, 10), digitsOf(marginDb, 1)});
}

Edges RoundedEdges(Edges edges, Edges gap, double rate) {
    if (!(rate > 0) || !std::isfinite(rate))
        return edges;
    // A few finer steps still leave a short text; past them the edges stay as computed.
    double step = std::pow(10.0, std::floor(std::log10(rate)) - 4);
    for (int finer = 0; finer < 4; ++finer, step /= 10) {
        const Edges rounded{RoundTo(edges.low, step), RoundTo(edges.high, step)};
        if (gap.low < rounded.low && rounded.low < rounded.high && rounded.high < gap.high)
            return rounded;
    }
    return edges;
}

} // namespace taplore
