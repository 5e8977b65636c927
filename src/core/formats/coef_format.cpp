#include "core/formats/coef_format.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

// Most 17-digit taps, with sign, exponent and line end, fit in this many bytes.
constexpr std::size_t kFullLineBytes = 25;
// A Q31 value with its sign and line end.
constexpr std::size_t kFixedLineBytes = 13;

// 2147483648 alone does not fit in a 32-bit int, so its negative is spelt by name.
void AppendCInteger(std::string& out, std::int32_t value) {
    out += value == INT32_MIN ? "INT32_MIN" : crt::FormatD(value);
}

// "%.1f": the cost is a figure to read, not to compute with.
std::string OneDecimal(double value) {
    std::string text = crt::FormatF8_1(value);
    return text.substr(text.find_first_not_of(' '));
}

std::string FixedPointNote(const double* coef, const FixedPointTaps& taps) {
    const std::string_view name = QFormatName(taps.format);
    std::string note = "; " + std::string(name) + " (tap x " +
                       crt::FormatShortest(QFormatScale(taps.format)) + ", rounded, saturated): ";
    note += crt::FormatD(taps.saturated) + (taps.saturated == 1 ? " tap" : " taps");
    note += " saturated, response within " + OneDecimal(QuantisationCostDb(coef, taps));
    note += " dB of the double design";
    return note;
}

// The declaration every C array shares; appendValue(text, k) writes tap k.
template <typename AppendValue>
std::string CArray(std::string head, std::string_view type, int count, std::size_t lineBytes,
                   AppendValue appendValue) {
    constexpr std::string_view indent = "    ";
    std::string text = std::move(head);
    text.reserve(text.size() + static_cast<std::size_t>(count) * (lineBytes + indent.size()));
    // Not static: the array alone is a translation unit that compiles without an unused warning.
    text += "const " + std::string(type) + " fir_coefficients[" + crt::FormatD(count) + "] = {\n";
    for (int k = 0; k < count; ++k) {
        text += indent;
        appendValue(text, k);
        text += ",\n";
    }
    text += "};\n";
    return text;
}

void AppendCConstant(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INFINITY" : "INFINITY";
        return;
    }
    const std::size_t start = out.size();
    crt::AppendG17(out, value);
    // A text without "." or exponent would be an integer constant in C, and -0 would lose its sign.
    if (out.find_first_of(".e", start) == std::string::npos)
        out += ".0";
}

} // namespace

std::string DescribeRequest(const DesignRequest& request) {
    const BandType type = SelectBand(NormalisedCutoff(request.lowHz, request.rate),
                                     NormalisedCutoff(request.highHz, request.rate));
    std::string text(BandTypeName(type));
    text += ", order " + crt::FormatD(request.order);
    text += ", rate " + crt::FormatShortest(request.rate);
    text += " Hz, cutoffs " + crt::FormatShortest(request.lowHz);
    text += " Hz and " + crt::FormatShortest(request.highHz) + " Hz";
    return text;
}

std::string FormatCoefficientsFull(const double* coef, int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * kFullLineBytes);
    for (int k = 0; k < count; ++k) {
        crt::AppendG17(text, coef[k]);
        text += '\n';
    }
    return text;
}

std::string FormatCoefficientsC(const double* coef, int count, const DesignRequest& request) {
    std::string head = "/* " + DescribeRequest(request) + " */\n";
    if (!std::all_of(coef, coef + count, [](double tap) { return std::isfinite(tap); }))
        head += "#include <math.h>\n";
    return CArray(std::move(head), "double", count, kFullLineBytes,
                  [coef](std::string& text, int k) { AppendCConstant(text, coef[k]); });
}

std::string FormatFixedPoint(const FixedPointTaps& taps) {
    std::string text;
    text.reserve(taps.values.size() * kFixedLineBytes);
    for (const std::int32_t q : taps.values) {
        text += crt::FormatD(q);
        text += '\n';
    }
    return text;
}

std::string FormatFixedPointC(const double* coef, const FixedPointTaps& taps,
                              const DesignRequest& request) {
    const std::string head = "/* " + DescribeRequest(request) + FixedPointNote(coef, taps) +
                             " */\n#include <stdint.h>\n";
    const std::string_view type = taps.format == QFormat::q15 ? "int16_t" : "int32_t";
    const std::int32_t* values = taps.values.data();
    return CArray(head, type, static_cast<int>(taps.values.size()), kFixedLineBytes,
                  [values](std::string& text, int k) { AppendCInteger(text, values[k]); });
}

std::string FormatResponse(const SpectrumLevels& levelsDb, double rate,
                           const SpectrumLevels* quantisedDb) {
    std::string text;
    for (int k = 0; k < kSpectrumBins; ++k) {
        text += crt::FormatShortest(k * rate / kSpectrumPoints);
        text += '\t';
        text += crt::FormatShortest(levelsDb[k]);
        if (quantisedDb) {
            text += '\t';
            text += crt::FormatShortest((*quantisedDb)[k]);
        }
        text += '\n';
    }
    return text;
}
