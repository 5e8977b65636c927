#pragma once
// Numbers of the requirements window as engineers read them: plot ticks rounded to their step,
// read-outs to the plot's resolution with their units, band figures with digits enough to tell
// reached from asked, and band edges rounded to what the rate resolves. "." whatever the locale.

#include <string>
#include <string_view>

namespace taplore {

// The decimals that show a quantity to this resolution: 0 from 1 up, 1 from 0.1, 2 from 0.01…
int DecimalsFor(double resolution);

// value with exactly this many decimals (0 to 17), no "-0"; "inf", "-inf" or "nan" when not
// finite.
std::string FixedText(double value, int decimals);

// A tick at value on an axis of this step, with the step's decimals: "0.6", never
// "0.6000000000000001".
std::string TickText(double value, double step);

// "Group delay (samples)", or the title alone for a quantity without a unit.
std::string AxisTitle(std::string_view title, std::string_view unit);

// "12,808.6 Hz" or "−0.0029 dB": to the resolution's decimals, thousands grouped, a true minus
// sign (UTF-8), the unit after a space when there is one.
std::string ReadingText(double value, double resolution, std::string_view unit);

// The decimals of a band's figures: at least two, and enough for two significant digits of
// the reached figure and one of the margin, so that a reached 0.0092 dB does not read as the
// 0.01 dB asked.
int FigureDecimals(double reachedDb, double marginDb);

// A new band edge rounded to what the rate resolves, a ten-thousandth of its decade (1 Hz at
// 48 kHz), or finer where that would not keep low < high strictly inside the gap from gapLow to
// gapHigh. Returns the edges low and high rounded, or as they are where no rounding fits.
struct Edges {
    double low, high;
};
Edges RoundedEdges(Edges edges, Edges gap, double rate);

} // namespace taplore
