#pragma once
// The texts of option values read into typed values, and the words of their refusals: each
// reader gives the value, or nothing where the text is not one.

#include "cli/console.h"
#include "cli/request.h"
#include "core/formats/crt.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace option_values {

// value into keep, or the refusal where there is none.
template <typename T, typename Keep>
std::string Kept(const std::optional<T>& value, const std::string& refusal, Keep keep) {
    if (!value)
        return refusal;
    keep(*value);
    return "";
}

// value as the option's one value, with its text.
template <typename T>
std::string KeptIn(const std::optional<T>& value, const std::string& refusal,
                   const std::string& text, std::optional<Given<T>>& slot) {
    return Kept(value, refusal, [&](const T& v) { slot = Given<T>{v, text}; });
}

template <typename T>
std::optional<T> If(const std::optional<T>& value, const std::function<bool(const T&)>& keep) {
    return value && keep(*value) ? value : std::nullopt;
}

// The names joined as "a, b or c", or with another last joint.
template <typename Names> std::string Listed(const Names& names, const std::string& last = " or ") {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? last : ", ") + std::string(names[i]);
    return list;
}

// The names of a table's rows that pass keep.
template <typename Rows, typename Keep>
std::vector<std::string_view> NamesWhere(const Rows& rows, Keep keep) {
    std::vector<std::string_view> names;
    for (const auto& row : rows)
        if (keep(row))
            names.push_back(row.name);
    return names;
}

// The names of the formats that pass keep.
template <typename Keep> std::vector<std::string_view> FormatsWhere(Keep keep) {
    return NamesWhere(taplore::ExportFormats(), keep);
}

// A refusal's words: what the value must be, and the text that is not.
std::string Refusal(const std::string& expected, const std::string& text);

bool WidthChosen(const taplore::ExportFormat& format);

// The CMSIS formats, whose state buffer is made for a block size.
bool TakesBlock(const taplore::ExportFormat& format);

// Every format of the table, those whose width is chosen with their ":B[.F]".
std::string FormatNames();

std::string WidthRefusal(const std::string& text);
std::string SampleWidthRefusal(const std::string& text);

// A whole number from 1 to largest.
std::optional<int> Count(const std::string& text, int largest);

std::string CountRefusal(int largest, const std::string& text);

std::vector<std::string_view> ViewNames();

// The views with their units, for the help.
std::string ViewsWithUnits();

// A band's texts: LO:HI for a pass or a stop band, LO:HI:GAIN[:WEIGHT] for a band of any gain,
// GAIN being G1..G2 where it slopes; a pass band may be LO:HI:G1..G2, its ripple relative.
std::optional<taplore::Band> PassBand(const std::string& text);

std::optional<taplore::Band> StopBand(const std::string& text);

std::optional<taplore::Band> AnyBand(const std::string& text);

std::optional<taplore::ResponseKind> KindNamed(const std::string& text);

std::vector<std::string_view> KindNames();

// A name of the window table, with ":BETA" for the window that takes a parameter.
std::optional<WindowChoice> ParseWindow(const std::string& text);

std::string WindowNames();

std::string PulseShapeNames();
std::string PulseGainNames();
// The shapes a roll-off shapes (rc, rrc) or a bandwidth-time product (gaussian).
std::string ShapesShapedBy(bool bt);

} // namespace option_values
