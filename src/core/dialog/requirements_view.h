#pragma once
// What the requirements window shows of a design, in words and ranges: each band's row of the
// result table, the shorter lengths' shortfalls, a view's span for a screen reader, and the
// part of the magnitude plot shown.

#include "core/analysis/views.h"
#include "core/design/requirements_design.h"
#include "core/formats/response_plot.h"

#include <span>
#include <string>
#include <vector>

namespace taplore {

// "Pass, ripple, 0 to 1000 Hz", "Pass, ripple, 0 to 8000 Hz, gain 1..2".
std::string BandTitle(const Band& band);

// A band's figures in dB: asked as given, reached and margin with the decimals that tell them
// apart ("0.01 dB", "0.0092 dB", "0.0008 dB").
struct FigureTexts {
    std::string asked, reached, margin;
};
FigureTexts FigureTextsOf(const BandFigure& figure);

// "45 taps miss by 0.31 dB, 44 taps by 1.20 dB": each shorter length a search designed.
std::string ShorterText(const RequirementsReport& report);

// "Group delay from 22.5 to 22.5 samples.": the span of the finite values.
std::string RangeSummary(const ViewInfo& info, std::span<const double> values);

// The second view's choices: every view but the magnitude, which has its own plot; the zeros
// last, drawn in the z-plane rather than as a curve.
std::vector<ViewInfo> SecondViews();

// The part of the magnitude plot shown: to 10 dB above the pass bands and 40 dB below the
// deepest stop band over the whole frequency axis; zoomed, the pass bands' frequencies with a
// twentieth of their span beside them and their levels filling half the height.
struct MagnitudeRanges {
    double dbLow, dbHigh, hzLow, hzHigh;
};
MagnitudeRanges MagnitudeRangesOf(std::span<const RequiredBand> bands, double rate, bool zoomed);

} // namespace taplore
