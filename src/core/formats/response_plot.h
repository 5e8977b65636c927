#pragma once
// The filter's log-magnitude response as an SVG image for documents, on the dialog's scale:
// 0 dB 10 pixels below the top of the plot, one grid step of 30 pixels for every 10 dB.

#include "core/analysis/log_magnitude.h"
#include "core/analysis/views.h"
#include "core/design/requirements_design.h"
#include "core/formats/taps_description.h"
#include "core/multirate/cascade_response.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// A band the requirements ask for, as the plot shades it: its frequencies in Hz and the
// levels in dB the response must keep there, from floorDb (-inf: no floor) to ceilingDb.
struct RequiredBand {
    double lowHz = 0.0, highHz = 0.0;
    double floorDb = 0.0, ceilingDb = 0.0;
};

// Where a plot shades each band of a report: between the levels the tolerances allow, or for
// bands of any gain, the gain and the deviation reached about it (a sloped band's whole line:
// from its lowest gain less the deviation to its highest plus it; a relative band's tolerance
// scaled by those gains). A differentiator's response rises across its bands, which no shading
// of constant levels shows: it gets none.
std::vector<RequiredBand> RequiredBands(const RequirementsReport& report);

// A curve of a plot of several: the whole response (red), the quantised taps' (light blue) or
// a part of the whole, such as a stage of a cascade (dashed, in a colour of its own).
enum class CurveRole { whole, quantised, part };
struct PlotCurve {
    std::span<const double> levelsDb; // bins spread over 0 ... rate/2
    std::string label;
    CurveRole role = CurveRole::whole;
};

// Frequencies shaded from the top of the plot to its bottom, such as those that fold onto the
// pass band, and the legend's words for them.
struct Shading {
    std::span<const FrequencySpan> spans;
    std::string label;
};

// The curves on the magnitude plot's axes, the first on top, named in a legend where there
// is more than one curve or shading; the shading under everything, the required bands as
// FormatResponseSvg shades them, and dbPerStep dB a grid step.
std::string FormatCurvesSvg(const TapsDescription& description, std::span<const PlotCurve> curves,
                            std::span<const RequiredBand> required, const Shading& shading,
                            int dbPerStep);

// The dB a grid step (10, 20, 50 or 100) at which the plot reaches down to deepestDb below 0.
int DbPerStepFor(double deepestDb);

} // namespace taplore

// levelsDb (bins 0 ... 511) as a red curve over a green dotted grid on black, frequency
// ticks in Hz (from the description's rate) along the bottom, a dB axis and the description's
// title. With quantisedDb, the
// quantised filter's curve lies under it in a second colour, and a legend names both curves,
// the quantised one quantisedLabel.
std::string FormatResponseSvg(const taplore::TapsDescription& description,
                              const SpectrumLevels& levelsDb,
                              const SpectrumLevels* quantisedDb = nullptr,
                              std::string_view quantisedLabel = {});

// The same for a response of any length (its bins spread over 0 ... rate/2), an empty
// quantisedDb drawing no second curve, and the required bands shaded where the curve must
// stay, their limits dashed.
std::string FormatResponseSvg(const taplore::TapsDescription& description,
                              std::span<const double> levelsDb, std::span<const double> quantisedDb,
                              std::string_view quantisedLabel,
                              std::span<const taplore::RequiredBand> required);

// The chosen views stacked as panels in one image, in the order chosen, each in the magnitude
// plot's colours with its own value axis (the levels cut 150 dB below their top), frequency
// ticks in Hz from the description's rate or time ticks in samples, and a caption naming the
// view. Values that are not numbers leave gaps in their curve.
std::string FormatViewsSvg(const taplore::TapsDescription& description,
                           const taplore::ResponseViews& views,
                           std::span<const taplore::View> chosen);
