#include "core/formats/response_plot.h"

#include "core/analysis/views.h"
#include "core/formats/crt.h"
#include "core/formats/svg_text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using taplore::View;
using taplore::ViewInfo;
using namespace taplore::svg;

// The plot area: ten grid steps each way, so a vertical line falls on every twentieth of the
// rate and a horizontal one on every 10 dB.
constexpr int kWidth = 600;
constexpr int kHeight = 300;
constexpr int kXStep = kWidth / 10;
constexpr int kYStep = kHeight / 10;
constexpr int kZeroDbY = 10;
// Where the plot area sits in the image, and the image's size.
constexpr int kLeft = 70;
constexpr int kTop = 40;
constexpr int kImageWidth = kLeft + kWidth + 30;
constexpr int kImageHeight = kTop + kHeight + 75;

constexpr std::string_view kCurveColour = "#ff0000";
constexpr std::string_view kQuantisedColour = "#00c0ff";
constexpr std::string_view kAliasedColour = "#c0c0c0";

// The dialog's scale, at 10 dB a grid step or coarser. A bin that is not a number lies on the top
// edge, as in the dialog; any other level beyond the plot is held just outside it, where the clip
// hides it.
double LevelY(double db, int dbPerStep) {
    if (std::isnan(db))
        return 0.0;
    const double steps = 10.0 / dbPerStep;
    return std::clamp(kZeroDbY - db * kYStep * steps * 0.1, -5.0, kHeight + 5.0);
}

void AppendGrid(std::string& svg) {
    svg += "<rect width=\"" + crt::FormatD(kWidth) + "\" height=\"" + crt::FormatD(kHeight) +
           "\" fill=\"#000000\"/>\n";
    svg += "<g stroke=\"#00ff00\" stroke-width=\"1\" stroke-dasharray=\"1 2\">\n";
    for (int x = 0; x <= kWidth; x += kXStep)
        AppendLine(svg, x + 0.5, 0, x + 0.5, kHeight);
    for (int y = kZeroDbY; y < kHeight; y += kYStep)
        AppendLine(svg, 0, y + 0.5, kWidth, y + 0.5);
    svg += "</g>\n";
}

// How a curve is drawn: its colour and width, and dashed for a part of the whole.
struct CurveLook {
    std::string_view colour;
    int width;
    bool dashed;
};

constexpr std::string_view kDash = " stroke-dasharray=\"6 4\"";

// The whole response, the quantised taps', and the parts' (stages, or a CIC and its FIR).
CurveLook LookOf(const taplore::PlotCurve& curve, int part) {
    constexpr std::string_view kPartColours[] = {"#ffa500", "#ff40ff", "#8080ff", "#40c040"};
    switch (curve.role) {
    case taplore::CurveRole::whole:
        return {kCurveColour, 2, false};
    case taplore::CurveRole::quantised:
        return {kQuantisedColour, 1, false};
    case taplore::CurveRole::part:
        break;
    }
    return {kPartColours[part % std::size(kPartColours)], 2, true};
}

void AppendCurve(std::string& svg, std::span<const double> levelsDb, const CurveLook& look,
                 int dbPerStep) {
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(look.colour) + "\" stroke-width=\"" +
           crt::FormatD(look.width) + "\"" + std::string(look.dashed ? kDash : "") +
           " stroke-linejoin=\"round\" points=\"";
    const auto bins = static_cast<int>(levelsDb.size());
    for (int i = 0; i < bins; ++i) {
        svg += i ? " " : "";
        svg += Coordinate(double(i) * kWidth / bins) + "," +
               Coordinate(LevelY(levelsDb[i], dbPerStep));
    }
    svg += "\"/>\n";
}

double HzX(double hz, double rate) {
    return hz / (rate / 2) * kWidth;
}

// The frequencies that fold onto what is protected, shaded from top to bottom under
// everything else.
void AppendAliased(std::string& svg, std::span<const taplore::FrequencySpan> aliased, double rate) {
    if (aliased.empty())
        return;
    svg += "<g fill=\"" + std::string(kAliasedColour) + "\" fill-opacity=\"0.3\">\n";
    for (const taplore::FrequencySpan& span : aliased) {
        const double left = HzX(span.lowHz, rate);
        svg += "<rect" + Attribute("x", left) + Attribute("y", 0) +
               Attribute("width", HzX(span.highHz, rate) - left) + Attribute("height", kHeight) +
               "/>\n";
    }
    svg += "</g>\n";
}

// Each required band's span between its levels, lightly filled, its limits dashed: where the
// curve must stay.
void AppendRequired(std::string& svg, std::span<const taplore::RequiredBand> required, double rate,
                    int dbPerStep) {
    if (required.empty())
        return;
    svg += "<g fill=\"#ffff00\" fill-opacity=\"0.25\" stroke=\"#ffff00\" "
           "stroke-dasharray=\"4 3\">\n";
    for (const taplore::RequiredBand& band : required) {
        const double left = HzX(band.lowHz, rate);
        const double right = HzX(band.highHz, rate);
        const double top = LevelY(band.ceilingDb, dbPerStep);
        // At least two pixels, so that a pass band's fraction of a dB shows.
        const double bottom = std::max(LevelY(band.floorDb, dbPerStep), top + 2);
        svg += "<rect" + Attribute("x", left) + Attribute("y", top) +
               Attribute("width", right - left) + Attribute("height", bottom - top) + "/>\n";
    }
    svg += "</g>\n";
}

void AppendAxes(std::string& svg, double rate, int dbPerStep) {
    svg += "<g fill=\"#000000\">\n";
    for (int k = 0; k <= 10; ++k)
        AppendText(svg, kLeft + k * kXStep, kTop + kHeight + 16, "middle",
                   crt::FormatShortest(taplore::FrequencyOf(k, rate, 20)));
    for (int k = 0; k * kYStep + kZeroDbY < kHeight; ++k)
        AppendText(svg, kLeft - 6, kTop + kZeroDbY + k * kYStep + 4, "end",
                   crt::FormatD(-dbPerStep * k));
    AppendText(svg, kLeft + kWidth / 2.0, kTop + kHeight + 36, "middle", "Frequency (Hz)");
    svg += "<text transform=\"translate(18 " + Coordinate(kTop + kHeight / 2.0) +
           ") rotate(-90)\" text-anchor=\"middle\">Level (dB)</text>\n";
    svg += "</g>\n";
}

// The legend: rows of three entries under the axes, each a stroke (or a swatch) and its label.
constexpr int kLegendPitch = 160;
constexpr int kLegendRow = 20;
constexpr int kLegendPerRow = 3;

double LegendX(int entry) {
    return kLeft + entry % kLegendPerRow * kLegendPitch;
}

double LegendY(int entry) {
    return kTop + kHeight + 60 + entry / kLegendPerRow * kLegendRow;
}

void AppendLegendEntry(std::string& svg, int entry, const CurveLook& look, std::string_view label) {
    const double x = LegendX(entry), y = LegendY(entry);
    svg += "<g stroke=\"" + std::string(look.colour) + "\" stroke-width=\"3\"" +
           std::string(look.dashed ? kDash : "") + ">\n";
    AppendLine(svg, x, y - 4, x + 24, y - 4);
    svg += "</g>\n";
    svg += "<g fill=\"#000000\">\n";
    AppendText(svg, x + 30, y, "start", label);
    svg += "</g>\n";
}

void AppendAliasedEntry(std::string& svg, int entry, std::string_view label) {
    const double x = LegendX(entry), y = LegendY(entry);
    svg += "<rect" + Attribute("x", x) + Attribute("y", y - 10) + Attribute("width", 24) +
           Attribute("height", 10) + " fill=\"" + std::string(kAliasedColour) +
           "\" fill-opacity=\"0.3\"/>\n";
    svg += "<g fill=\"#000000\">\n";
    AppendText(svg, x + 30, y, "start", label);
    svg += "</g>\n";
}

// The stacked panels of the views: each the plot's width, a caption above and ticks below.
constexpr int kPanelHeight = 160;
constexpr int kPanelPitch = kPanelHeight + 70;
constexpr int kPanelTicks = 5; // about as many value ticks a panel

struct Range {
    double low, high;
};

// The finite values' range, widened where it is flat and, for levels in dB, cut 150 dB below
// the top, where the stop band's zeros would otherwise squash everything else.
Range ValueRange(const std::vector<double>& values, View view) {
    Range range{HUGE_VAL, -HUGE_VAL};
    for (const double value : values) {
        if (std::isfinite(value)) {
            range.low = std::min(range.low, value);
            range.high = std::max(range.high, value);
        }
    }
    if (range.low > range.high)
        return {-1.0, 1.0};
    if (view == View::magnitude)
        range.low = std::max(range.low, range.high - 150.0);
    const double flat = std::max(1.0, std::abs(range.high)) * 1e-9;
    if (range.high - range.low <= flat)
        return {range.low - 1.0, range.high + 1.0};
    return range;
}

// The range widened to whole steps, and its step.
struct Axis {
    double low, high, step;

    static Axis Of(Range range, int count) {
        const double step = taplore::TickStep(range.high - range.low, count);
        return {std::floor(range.low / step) * step, std::ceil(range.high / step) * step, step};
    }
    double Position(double value, double length) const {
        return (value - low) / (high - low) * length;
    }
    double Tick(int k) const { return low + k * step; }
    // Tick k with no more decimals than the step has, and never "-0".
    std::string Label(int k) const {
        const double scale = std::pow(10.0, std::max(0.0, -std::floor(std::log10(step))));
        return crt::FormatShortest(std::round(Tick(k) * scale) / scale + 0.0);
    }
};

// A value on the panel: its height from the top; values beyond the axis are held just outside
// the panel, where the clip hides them.
double PanelY(double value, const Axis& axis) {
    if (value == -HUGE_VAL || value < axis.low)
        return kPanelHeight + 5.0;
    return std::max(-5.0, kPanelHeight - axis.Position(value, kPanelHeight));
}

// The curve as polylines, broken wherever a value is not a number.
void AppendPanelCurve(std::string& svg, const std::vector<double>& values, const Axis& axis) {
    const double last = std::max<double>(1.0, static_cast<double>(values.size()) - 1);
    bool open = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (std::isnan(values[i])) {
            svg += open ? "\"/>\n" : "";
            open = false;
            continue;
        }
        svg += open ? " "
                    : "<polyline fill=\"none\" stroke=\"" + std::string(kCurveColour) +
                          "\" stroke-width=\"2\" stroke-linejoin=\"round\" points=\"";
        open = true;
        svg += Coordinate(static_cast<double>(i) / last * kWidth) + "," +
               Coordinate(PanelY(values[i], axis));
    }
    svg += open ? "\"/>\n" : "";
}

// The frequency axis in tenths of half the rate, as the magnitude plot has it; the time axis
// in whole samples.
std::vector<std::pair<double, std::string>> XTicks(const ViewInfo& info, double rate,
                                                   std::size_t count) {
    std::vector<std::pair<double, std::string>> ticks;
    if (info.overFrequency) {
        for (int k = 0; k <= 10; ++k)
            ticks.emplace_back(k * kXStep, crt::FormatShortest(taplore::FrequencyOf(k, rate, 20)));
        return ticks;
    }
    const double last = std::max<double>(1.0, static_cast<double>(count) - 1);
    const double step = std::max(1.0, taplore::TickStep(last, 10));
    for (double n = 0; n <= last; n += step)
        ticks.emplace_back(n / last * kWidth, crt::FormatShortest(n));
    return ticks;
}

void AppendPanel(std::string& svg, int top, const ViewInfo& info, const std::vector<double>& values,
                 double rate, int index) {
    const Axis axis = Axis::Of(ValueRange(values, info.view), kPanelTicks);
    const std::string clip = "panel" + crt::FormatD(index);
    svg += "<defs><clipPath id=\"" + clip + "\"><rect width=\"" + crt::FormatD(kWidth) +
           "\" height=\"" + crt::FormatD(kPanelHeight) + "\"/></clipPath></defs>\n";
    svg += "<g transform=\"translate(" + crt::FormatD(kLeft) + " " + crt::FormatD(top) + ")\">\n";
    svg += "<rect width=\"" + crt::FormatD(kWidth) + "\" height=\"" + crt::FormatD(kPanelHeight) +
           "\" fill=\"#000000\"/>\n";
    const auto xTicks = XTicks(info, rate, values.size());
    const int steps = static_cast<int>(std::lround((axis.high - axis.low) / axis.step));
    svg += "<g stroke=\"#00ff00\" stroke-width=\"1\" stroke-dasharray=\"1 2\">\n";
    for (const auto& [x, label] : xTicks)
        AppendLine(svg, x + 0.5, 0, x + 0.5, kPanelHeight);
    for (int k = 0; k <= steps; ++k)
        AppendLine(svg, 0, PanelY(axis.Tick(k), axis) + 0.5, kWidth,
                   PanelY(axis.Tick(k), axis) + 0.5);
    svg += "</g>\n<g clip-path=\"url(#" + clip + ")\">\n";
    AppendPanelCurve(svg, values, axis);
    svg += "</g>\n<g fill=\"#000000\">\n";
    for (const auto& [x, label] : xTicks)
        AppendText(svg, x, kPanelHeight + 16, "middle", label);
    for (int k = 0; k <= steps; ++k)
        AppendText(svg, -6, PanelY(axis.Tick(k), axis) + 4, "end", axis.Label(k));
    std::string caption(info.title);
    caption += info.unit.empty() ? "" : " (" + std::string(info.unit) + ")";
    caption += info.overFrequency ? " against frequency (Hz)" : " against time (samples)";
    AppendText(svg, 0, -8, "start", caption);
    svg += "</g>\n</g>\n";
}

} // namespace

std::string FormatViewsSvg(const taplore::TapsDescription& description,
                           const taplore::ResponseViews& views,
                           std::span<const taplore::View> chosen) {
    const int height = kTop + 20 + static_cast<int>(chosen.size()) * kPanelPitch;
    std::string svg = DocumentHead(kImageWidth, height, "Response: " + description.title);
    for (std::size_t i = 0; i < chosen.size(); ++i)
        AppendPanel(svg, kTop + 20 + static_cast<int>(i) * kPanelPitch, taplore::InfoOf(chosen[i]),
                    views.Values(chosen[i]), description.rate, static_cast<int>(i));
    svg += "</svg>\n";
    return svg;
}

std::string FormatResponseSvg(const taplore::TapsDescription& description,
                              const SpectrumLevels& levelsDb, const SpectrumLevels* quantisedDb,
                              std::string_view quantisedLabel) {
    return FormatResponseSvg(description, levelsDb,
                             quantisedDb ? std::span<const double>(*quantisedDb)
                                         : std::span<const double>(),
                             quantisedLabel, {});
}

std::string FormatResponseSvg(const taplore::TapsDescription& description,
                              std::span<const double> levelsDb, std::span<const double> quantisedDb,
                              std::string_view quantisedLabel,
                              std::span<const taplore::RequiredBand> required) {
    std::vector<taplore::PlotCurve> curves{{levelsDb, "double taps", taplore::CurveRole::whole}};
    if (!quantisedDb.empty())
        curves.push_back({quantisedDb, std::string(quantisedLabel), taplore::CurveRole::quantised});
    // 10 dB a step, as the dialog draws, down to where the deepest band asked can be seen.
    double deepestDb = 0;
    for (const taplore::RequiredBand& band : required)
        if (std::isfinite(band.ceilingDb))
            deepestDb = std::max(deepestDb, -band.ceilingDb);
    const int dbPerStep = required.empty() ? 10 : taplore::DbPerStepFor(deepestDb + 10);
    return taplore::FormatCurvesSvg(description, curves, required, {}, dbPerStep);
}

namespace taplore {

std::string FormatCurvesSvg(const TapsDescription& description, std::span<const PlotCurve> curves,
                            std::span<const RequiredBand> required, const Shading& shading,
                            int dbPerStep) {
    const std::span<const FrequencySpan> aliased = shading.spans;
    // A legend where there is more than one thing to tell apart.
    const int named = static_cast<int>(curves.size()) + (aliased.empty() ? 0 : 1);
    const int entries = named > 1 ? named : 0;
    const int rows = std::max(1, (entries + kLegendPerRow - 1) / kLegendPerRow);
    std::string svg = DocumentHead(kImageWidth, kImageHeight + (rows - 1) * kLegendRow,
                                   "Log-magnitude response: " + description.title);
    svg += "<defs><clipPath id=\"plot\"><rect width=\"" + crt::FormatD(kWidth) + "\" height=\"" +
           crt::FormatD(kHeight) + "\"/></clipPath></defs>\n";
    svg += "<g transform=\"translate(" + crt::FormatD(kLeft) + " " + crt::FormatD(kTop) + ")\">\n";
    AppendGrid(svg);
    svg += "<g clip-path=\"url(#plot)\">\n";
    AppendAliased(svg, aliased, description.rate);
    AppendRequired(svg, required, description.rate, dbPerStep);
    std::vector<CurveLook> looks;
    for (int part = 0; const PlotCurve& curve : curves)
        looks.push_back(LookOf(curve, curve.role == CurveRole::part ? part++ : part));
    // The first curve on top: the others show only where they depart from it.
    for (std::size_t i = curves.size(); i-- > 0;)
        AppendCurve(svg, curves[i].levelsDb, looks[i], dbPerStep);
    svg += "</g>\n</g>\n";
    AppendAxes(svg, description.rate, dbPerStep);
    if (entries > 0) {
        for (std::size_t i = 0; i < curves.size(); ++i)
            AppendLegendEntry(svg, static_cast<int>(i), looks[i], curves[i].label);
        if (!aliased.empty())
            AppendAliasedEntry(svg, static_cast<int>(curves.size()), shading.label);
    }
    svg += "</svg>\n";
    return svg;
}

int DbPerStepFor(double deepestDb) {
    const double steps = static_cast<double>(kHeight - kZeroDbY) / kYStep;
    for (const int dbPerStep : {10, 20, 50})
        if (deepestDb <= steps * dbPerStep)
            return dbPerStep;
    return 100;
}

std::vector<RequiredBand> RequiredBands(const RequirementsReport& report) {
    const Requirements& r = report.requirements;
    std::vector<RequiredBand> required;
    if (r.kind == ResponseKind::differentiator)
        return required;
    const auto db = [](double magnitude) {
        return magnitude > 0 ? 20 * std::log10(magnitude)
                             : -std::numeric_limits<double>::infinity();
    };
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const Band& band = r.bands[i];
        const double deviation =
            report.tolerances ? AllowedDeviation(r, band) : report.deviations[i];
        // A sloped band's shade spans its whole line; a line through 0 reaches magnitude 0.
        const double start = band.gain, end = EndGain(band);
        const double lowest =
            start * end <= 0 && start != end ? 0.0 : std::min(std::fabs(start), std::fabs(end));
        const double highest = std::max(std::fabs(start), std::fabs(end));
        // A relative band's tolerance scales with its gain.
        const double below = band.relative ? lowest * deviation : deviation;
        const double above = band.relative ? highest * deviation : deviation;
        required.push_back({band.lowHz, band.highHz, db(lowest - below), db(highest + above)});
    }
    return required;
}

} // namespace taplore
