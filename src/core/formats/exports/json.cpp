// JSON: the design's description, notes and rate, and the taps as numbers that read back as
// the same doubles (the shortest text that does). JSON has no spelling for a tap that is not
// finite: such a tap is written as the string "nan", "inf" or "-inf".
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

#include <cmath>

namespace taplore {
namespace {

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    static constexpr std::string_view kEscaped = "\"\\\n\r\t", kLetters = "\"\\nrt";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (const std::size_t i = kEscaped.find(c); i != std::string_view::npos) {
            out += '\\';
            out += kLetters[i];
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
    if (std::isfinite(value))
        crt::AppendShortest(out, value);
    else
        AppendJsonString(out, crt::FormatShortest(value));
}

} // namespace

std::string WriteJson(const ExportInput& input) {
    const TapsDescription& description = input.description;
    std::string text = "{\n  \"design\": ";
    AppendJsonString(text, description.title);
    text += ",\n  \"notes\": [";
    for (std::size_t i = 0; i < description.notes.size(); ++i) {
        text += i ? ", " : "";
        AppendJsonString(text, description.notes[i]);
    }
    text += "]";
    // An unknown rate (taps read back without one) is left out: the reader refuses a rate of 0.
    if (description.rate > 0) {
        text += ",\n  \"rate\": ";
        AppendJsonNumber(text, description.rate);
    }
    text += ",\n  \"count\": " + crt::FormatD(static_cast<int>(input.taps.size()));
    text += ",\n  \"taps\": [";
    text.reserve(text.size() + input.taps.size() * 28);
    for (std::size_t k = 0; k < input.taps.size(); ++k) {
        text += k ? ",\n    " : "\n    ";
        AppendJsonNumber(text, input.taps[k]);
    }
    text += input.taps.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

} // namespace taplore
