#include "core/formats/view_text.h"

#include "core/formats/crt.h"

#include <algorithm>

namespace taplore {
namespace {

// "magnitude (dB)", or the name alone for a view without a unit.
std::string ColumnName(View view) {
    const ViewInfo& info = InfoOf(view);
    std::string name(info.name);
    if (!info.unit.empty())
        name.append(" (").append(info.unit).append(")");
    return name;
}

// One block: a header naming the axis and the views, then a line for each of count rows.
template <typename Axis>
void AppendBlock(std::string& text, std::string_view axisName, std::size_t count, Axis axis,
                 const ResponseViews& views, const std::vector<View>& columns) {
    text.append("# ").append(axisName);
    for (const View view : columns) {
        text += '\t';
        text += ColumnName(view);
    }
    text += '\n';
    for (std::size_t k = 0; k < count; ++k) {
        crt::AppendShortest(text, axis(k));
        for (const View view : columns) {
            text += '\t';
            crt::AppendShortest(text, views.Values(view)[k]);
        }
        text += '\n';
    }
}

} // namespace

std::string FormatViewTable(const ResponseViews& views, std::span<const View> chosen,
                            const FrequencyGrid& grid, double rate) {
    std::vector<View> overFrequency, overTime;
    for (const View view : chosen)
        (InfoOf(view).overFrequency ? overFrequency : overTime).push_back(view);
    std::string text;
    if (!overFrequency.empty())
        AppendBlock(
            text, "Hz", static_cast<std::size_t>(grid.Points()),
            [&grid, rate](std::size_t k) { return grid.Hz(static_cast<int>(k), rate); }, views,
            overFrequency);
    if (!overTime.empty()) {
        text += overFrequency.empty() ? "" : "\n\n";
        AppendBlock(
            text, "n", views.impulse.size(), [](std::size_t n) { return static_cast<double>(n); },
            views, overTime);
    }
    return text;
}

} // namespace taplore
