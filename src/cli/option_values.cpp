#include "cli/option_values.h"

#include "core/formats/gain_text.h"

#include <array>

namespace option_values {

using taplore::ExportFormat;

std::string Refusal(const std::string& expected, const std::string& text) {
    return "must be " + expected + ", not \"" + Echoed(text) + "\"";
}

bool WidthChosen(const ExportFormat& format) {
    return format.width == taplore::ExportWidth::chosen;
}

// The CMSIS formats, whose state buffer is made for a block size.
bool TakesBlock(const ExportFormat& format) {
    return format.name.starts_with("cmsis-");
}

// Every format of the table, those whose width is chosen with their ":B[.F]".
std::string FormatNames() {
    std::vector<std::string> names;
    for (const ExportFormat& format : taplore::ExportFormats())
        names.push_back(std::string(format.name) + (WidthChosen(format) ? "[:B[.F]]" : ""));
    return Listed(names);
}

std::string WidthRefusal(const std::string& text) {
    return Refusal("B or B.F: B bits from 2 to 32, F fraction bits from 0 to 62 (B - 1 when left "
                   "out)",
                   text);
}

std::string SampleWidthRefusal(const std::string& text) {
    return Refusal("B or B.F: B bits from 2 to 64, F fraction bits from 0 to B (B - 1 when left "
                   "out)",
                   text);
}

// A whole number from 1 to largest.
std::optional<int> Count(const std::string& text, int largest) {
    return If<int>(crt::StrictAtoi(text), [largest](int n) { return n >= 1 && n <= largest; });
}

std::string CountRefusal(int largest, const std::string& text) {
    return Refusal("a whole number from 1 to " + crt::FormatD(largest), text);
}

std::vector<std::string_view> ViewNames() {
    return NamesWhere(taplore::Views(), [](const auto&) { return true; });
}

// The views with their units, for the help.
std::string ViewsWithUnits() {
    std::vector<std::string> names;
    for (const taplore::ViewInfo& view : taplore::Views())
        names.push_back(std::string(view.name) +
                        (view.unit.empty() ? "" : " (" + std::string(view.unit) + ")"));
    return Listed(names);
}

namespace {

// The texts between the colons.
std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

// LO:HI with two numbers, or LO:HI:GAIN[:WEIGHT] with three or four, each by Atof's rules.
std::optional<std::vector<double>> Fields(const std::string& text) {
    std::vector<double> fields;
    for (std::string_view field : Split(text)) {
        const auto number = crt::StrictAtof(field);
        if (!number)
            return std::nullopt;
        fields.push_back(*number);
    }
    return fields;
}

// A pass or stop band's edges, asking gain there.
std::optional<taplore::Band> Edges(const std::string& text, double gain) {
    const auto fields = Fields(text);
    if (!fields || fields->size() != 2)
        return std::nullopt;
    return taplore::Band{(*fields)[0], (*fields)[1], gain, 1.0};
}

} // namespace

std::optional<taplore::Band> PassBand(const std::string& text) {
    const std::vector<std::string_view> fields = Split(text);
    if (fields.size() != 3)
        return Edges(text, 1.0);
    const auto low = crt::StrictAtof(fields[0]), high = crt::StrictAtof(fields[1]);
    taplore::Band band{low.value_or(0), high.value_or(0), 1.0, 1.0};
    // Only a line: one gain would be the flat band's 1 again.
    if (!low || !high || !taplore::ReadGainText(fields[2], band) || !band.endGain)
        return std::nullopt;
    band.relative = true;
    return band;
}

std::optional<taplore::Band> StopBand(const std::string& text) {
    return Edges(text, 0.0);
}

std::optional<taplore::Band> AnyBand(const std::string& text) {
    const std::vector<std::string_view> fields = Split(text);
    if (fields.size() != 3 && fields.size() != 4)
        return std::nullopt;
    const auto low = crt::StrictAtof(fields[0]), high = crt::StrictAtof(fields[1]);
    const auto weight = fields.size() > 3 ? crt::StrictAtof(fields[3]) : std::optional(1.0);
    taplore::Band band{low.value_or(0), high.value_or(0), 0.0, weight.value_or(1)};
    if (!low || !high || !weight || !taplore::ReadGainText(fields[2], band))
        return std::nullopt;
    return band;
}

// The kinds of antisymmetric taps --kind names.
struct KindName {
    std::string_view name;
    taplore::ResponseKind kind;
};
constexpr std::array<KindName, 2> kKinds = {
    {{"hilbert", taplore::ResponseKind::hilbert},
     {"differentiator", taplore::ResponseKind::differentiator}}};

std::optional<taplore::ResponseKind> KindNamed(const std::string& text) {
    for (const KindName& kind : kKinds)
        if (kind.name == text)
            return kind.kind;
    return std::nullopt;
}

std::vector<std::string_view> KindNames() {
    std::vector<std::string_view> names;
    for (const KindName& kind : kKinds)
        names.push_back(kind.name);
    return names;
}

// A name of the window table, with ":BETA" for the window that takes a parameter.
std::optional<WindowChoice> ParseWindow(const std::string& text) {
    const std::size_t colon = text.find(':');
    const taplore::WindowInfo* window = taplore::FindWindow(text.substr(0, colon));
    if (!window || window->takesParameter != (colon != std::string::npos))
        return std::nullopt;
    if (!window->takesParameter)
        return WindowChoice{window->kind, 0.0};
    const auto beta = crt::StrictAtof(std::string_view(text).substr(colon + 1));
    if (!beta || !(*beta >= 0 && *beta <= taplore::kMaxKaiserBeta))
        return std::nullopt;
    return WindowChoice{window->kind, *beta};
}

std::string WindowNames() {
    std::vector<std::string> names;
    for (const taplore::WindowInfo& window : taplore::Windows())
        names.push_back(std::string(window.name) +
                        (window.takesParameter ? ":BETA (BETA from 0 to 100)" : ""));
    return Listed(names);
}

std::string PulseShapeNames() {
    return Listed(NamesWhere(taplore::PulseShapes(), [](const auto&) { return true; }));
}

std::string PulseGainNames() {
    return Listed(NamesWhere(taplore::PulseGains(), [](const auto&) { return true; }));
}

// The shapes a roll-off shapes (rc, rrc) or a bandwidth-time product (gaussian).
std::string ShapesShapedBy(bool bt) {
    return Listed(NamesWhere(taplore::PulseShapes(), [bt](const taplore::PulseShapeInfo& shape) {
        return shape.bt == bt;
    }));
}

} // namespace option_values
