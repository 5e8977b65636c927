#include "core/coef_format.h"

#include "core/crt.h"

#include <cmath>
#include <string_view>

namespace {

// Most 17-digit taps, with sign, exponent and line end, fit in this many bytes.
constexpr std::size_t kFullLineBytes = 25;

std::string_view BandTypeName(BandType type) {
    switch (type) {
    case BandType::lowPass:
        return "low-pass";
    case BandType::highPass:
        return "high-pass";
    case BandType::bandPass:
        return "band-pass";
    case BandType::bandStop:
        return "band-stop";
    case BandType::none:
        break;
    }
    return "no band type matched";
}

std::string RequestComment(const DesignRequest& request) {
    const BandType type = SelectBand(NormalisedCutoff(request.lowHz, request.rate),
                                     NormalisedCutoff(request.highHz, request.rate));
    std::string comment = "/* ";
    comment += BandTypeName(type);
    comment += ", order " + crt::FormatD(request.order);
    comment += ", rate " + crt::FormatShortest(request.rate);
    comment += " Hz, cutoffs " + crt::FormatShortest(request.lowHz);
    comment += " Hz and " + crt::FormatShortest(request.highHz) + " Hz */\n";
    return comment;
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
    constexpr std::string_view indent = "    ";
    std::string text = RequestComment(request);
    text.reserve(text.size() + static_cast<std::size_t>(count) * (kFullLineBytes + indent.size()));
    text += "static const double fir_coefficients[" + crt::FormatD(count) + "] = {\n";
    for (int k = 0; k < count; ++k) {
        text += indent;
        AppendCConstant(text, coef[k]);
        text += ",\n";
    }
    text += "};\n";
    return text;
}

std::string FormatResponse(const SpectrumLevels& levelsDb, double rate) {
    std::string text;
    for (int k = 0; k < kSpectrumBins; ++k) {
        text += crt::FormatShortest(k * rate / kSpectrumPoints);
        text += '\t';
        text += crt::FormatShortest(levelsDb[k]);
        text += '\n';
    }
    return text;
}
