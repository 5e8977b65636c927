// JSON: the design's description, notes and rate, and the taps as numbers that read back as
// the same doubles (the shortest text that does). JSON has no spelling for a tap that is not
// finite: such a tap is written as the string "nan", "inf" or "-inf". A rate change adds its
// phases, an array each; a plan writes its stages as an array of such objects.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/phases.h"
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

// The object's opening: the design's title, notes and rate.
std::string JsonHead(const TapsDescription& description) {
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
    return text;
}

// values as a JSON array, one a line at indent and two blanks more.
void AppendJsonArray(std::string& text, std::span<const double> values, const std::string& indent) {
    text += "[";
    text.reserve(text.size() + values.size() * 28);
    for (std::size_t k = 0; k < values.size(); ++k) {
        text += k ? ",\n  " : "\n  ";
        text += indent;
        AppendJsonNumber(text, values[k]);
    }
    text += values.empty() ? "]" : "\n" + indent + "]";
}

// The phases' members: the change and its factor, the layout and the phases, an array each.
void AppendJsonPhases(std::string& text, std::span<const double> taps, const RateFactor& change,
                      const std::string& indent) {
    const PhaseLayout layout = LayoutPhases(static_cast<int>(taps.size()), change.factor);
    const std::string member = ",\n" + indent + "\"";
    text += member + "change\": " + (change.decimates ? "\"decimate\"" : "\"interpolate\"");
    text += member + "factor\": " + crt::FormatD(change.factor);
    text += member + "phase_count\": " + crt::FormatD(layout.count);
    text += member + "phase_length\": " + crt::FormatD(layout.length);
    text += member + "zero_padding\": " + crt::FormatD(layout.padding);
    text += member + "phases\": [";
    const std::vector<std::vector<double>> phases = PaddedPhases(taps, change.factor);
    for (std::size_t p = 0; p < phases.size(); ++p) {
        text += p ? ",\n  " + indent : "\n  " + indent;
        AppendJsonArray(text, phases[p], indent + "  ");
    }
    text += "\n" + indent + "]";
}

// The count, the taps and, for a change of rate, its phases, as members at indent.
void AppendJsonFilter(std::string& text, std::span<const double> taps,
                      const std::optional<RateFactor>& change, const std::string& indent) {
    text += ",\n" + indent + "\"count\": " + crt::FormatD(static_cast<int>(taps.size()));
    text += ",\n" + indent + "\"taps\": ";
    AppendJsonArray(text, taps, indent);
    if (change)
        AppendJsonPhases(text, taps, *change, indent);
}

} // namespace

std::string WriteJson(const ExportInput& input) {
    std::string text = JsonHead(input.description);
    AppendJsonFilter(text, input.taps, input.rateChange, "  ");
    return text + "\n}\n";
}

// The plan's description, then its stages as an array of objects from the high rate down.
std::string WriteJsonCascade(const CascadeInput& input) {
    std::string text = JsonHead(input.description);
    text += ",\n  \"stage_count\": " + crt::FormatD(static_cast<int>(input.stages.size()));
    text += ",\n  \"stages\": [";
    for (std::size_t i = 0; i < input.stages.size(); ++i) {
        const ExportStage& stage = input.stages[i];
        text += i ? ",\n    {\n      \"stage\": " : "\n    {\n      \"stage\": ";
        text += crt::FormatD(static_cast<int>(i + 1)) + ",\n      \"rate\": ";
        AppendJsonNumber(text, stage.rate);
        AppendJsonFilter(text, stage.taps, stage.change, "      ");
        text += "\n    }";
    }
    return text + "\n  ]\n}\n";
}

} // namespace taplore
