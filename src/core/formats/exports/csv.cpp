// Comma-separated values for spreadsheets and scripts: a header line whose second column names
// the design, then each tap's index and value, the shortest text that reads back as the same
// double.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

namespace taplore {
namespace {

// A field in double quotes, with the quotes inside doubled.
std::string Quoted(std::string_view field) {
    std::string text = "\"";
    for (const char c : field) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text + "\"";
}

} // namespace

std::string WriteCsv(const ExportInput& input) {
    std::string name;
    for (const std::string& line : DescriptionLines(input))
        name += (name.empty() ? "" : "; ") + line;
    std::string text = "index," + Quoted(name) + "\n";
    text.reserve(text.size() + input.taps.size() * 32);
    for (std::size_t k = 0; k < input.taps.size(); ++k) {
        text += crt::FormatD(static_cast<int>(k));
        text += ',';
        crt::AppendShortest(text, input.taps[k]);
        text += '\n';
    }
    return text;
}

} // namespace taplore
