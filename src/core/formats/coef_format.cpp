#include "core/formats/coef_format.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"

#include <algorithm>
#include <charconv>
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

// The comment above an array: the title with suffix on its first line, then a line a note.
std::string CComment(const taplore::TapsDescription& description, std::string_view suffix = {}) {
    // A description read back from a file may hold anything.
    std::string comment = "/* " + taplore::CommentSafe(description.title) + std::string(suffix);
    for (const std::string& note : description.notes)
        comment += "\n * " + taplore::CommentSafe(note);
    return comment + " */\n";
}

// The declaration every C array shares; appendValue(text, k) writes tap k.
template <typename AppendValue>
std::string CArray(std::string head, std::string_view type, std::string_view name, int count,
                   std::size_t lineBytes, AppendValue appendValue) {
    constexpr std::string_view indent = "    ";
    std::string text = std::move(head);
    text.reserve(text.size() + static_cast<std::size_t>(count) * (lineBytes + indent.size()));
    // Not static: the array alone is a translation unit that compiles without an unused warning.
    text += "const " + std::string(type) + " " + std::string(name) + "[" + crt::FormatD(count) +
            "] = {\n";
    for (int k = 0; k < count; ++k) {
        text += indent;
        appendValue(text, k);
        text += ",\n";
    }
    text += "};\n";
    return text;
}

} // namespace

void AppendCFloatingConstant(std::string& out, double value, CFloating type) {
    const double stored = type == CFloating::floatType ? static_cast<float>(value) : value;
    if (std::isnan(stored)) {
        out += "NAN";
        return;
    }
    if (std::isinf(stored)) {
        out += stored < 0 ? "-INFINITY" : "INFINITY";
        return;
    }
    const std::size_t start = out.size();
    if (type == CFloating::floatType) {
        char buffer[32];
        const auto written =
            std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(stored));
        out.append(buffer, written.ptr);
    } else {
        crt::AppendG17(out, stored);
    }
    // A text without "." or exponent would be an integer constant in C, and -0 would lose its sign.
    if (out.find_first_of(".e", start) == std::string::npos)
        out += ".0";
    if (type == CFloating::floatType)
        out += 'f';
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

std::string FormatCoefficientsC(const double* coef, int count,
                                const taplore::TapsDescription& description) {
    std::string head = CComment(description);
    if (!std::all_of(coef, coef + count, [](double tap) { return std::isfinite(tap); }))
        head += "#include <math.h>\n";
    return std::move(head) + FormatCDoubleArray("fir_coefficients", coef, count);
}

std::string FormatCComment(const taplore::TapsDescription& description) {
    return CComment(description);
}

std::string FormatCDoubleArray(std::string_view name, const double* coef, int count) {
    return CArray({}, "double", name, count, kFullLineBytes, [coef](std::string& text, int k) {
        AppendCFloatingConstant(text, coef[k], CFloating::doubleType);
    });
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
                              const taplore::TapsDescription& description) {
    return CComment(description, "; " + QuantisationNote(coef, taps)) + "#include <stdint.h>\n" +
           FormatFixedPointCArray("fir_coefficients", taps);
}

std::string FormatFixedPointCArray(std::string_view name, const FixedPointTaps& taps) {
    const std::string_view type = taps.format == QFormat::q15 ? "int16_t" : "int32_t";
    const std::int32_t* values = taps.values.data();
    return CArray({}, type, name, static_cast<int>(taps.values.size()), kFixedLineBytes,
                  [values](std::string& text, int k) { AppendCInteger(text, values[k]); });
}
