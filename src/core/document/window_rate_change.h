#pragma once
// The requirements window's rate change: its bands read as a decimator's or interpolator's
// requirements, the plan designed on the window's worker, and the stages shown in the result
// table.

#include "core/document/requirements_presenter.h"
#include "core/formats/response_plot.h"

#include <optional>
#include <string>
#include <vector>

namespace taplore {

// The rate change choice asks beside requirements, or what the window must change first
// ("Rate change: decimation by 4 at 48000 Hz needs the stop band from 10000 to 24000 Hz."): a
// pass band from 0 and a stop band from rate / factor less its edge to half the rate, a flat
// gain, linear phase, the fewest taps of a method that searches, and stages that split factor.
struct WindowRateChange {
    std::optional<RateChangeDesignAsk> ask;
    std::string problem;
};
WindowRateChange ReadRateChange(const RateChangeChoice& choice, const Requirements& requirements,
                                const Method& method, bool minimumPhase, int taps);

// Why requirements are not the one pass band from 0 Hz of gain 1 and one stop band above it
// that a rate change and a CIC compensator keep, or nothing.
std::optional<std::string> LowPassProblem(const Requirements& requirements);

// Whether an edge typed is at wanted Hz, to what the rate resolves rather than to the last bit
// of a division.
bool EdgeAt(double hz, double wanted, double rate);

// A result table's row of a cascade's measured figure: its ripple (pass) or its attenuation,
// asked and reached, with `where` after the reached figure.
FigureRow CascadeRow(const std::string& band, bool pass, double askedDb, double reachedDb,
                     const std::string& where = "");

// Designs ask's rate change into shown: the plan, the filter it equals as shown's design, and
// the cascade's levels on a grid of shown.points.
void DesignRateChange(const DesignAsk& ask, const Progress& progress, DesignShown& shown);

// The headline: the change and whether the cascade meets the requirements.
std::string RateChangeHeadline(const MultirateDesign& design);

// The result table: a row a stage (its factor and rate, taps, multiplications), the total
// against one stage where there are several, and the cascade's measured ripple and attenuation.
std::vector<FigureRow> RateChangeRows(const MultirateDesign& design);

// What the cascade must keep, as the magnitude plot shades it: the pass band, and the
// frequencies that fold onto it.
std::vector<RequiredBand> RateChangeBands(const RateChangeAsk& ask);

// The change as a single stage's export takes it.
RateFactor RateFactorOf(const RateChangeAsk& ask);

// A plan's stages in one text of format, in width where it writes integers; format must
// hold a plan (writeCascade). Throws what the writer throws.
std::string WritePlan(const MultirateDesign& plan, const ExportFormat& format, QFormat width);

// Why format cannot write a plan of several stages, naming the formats that can.
std::string PlanFormatProblem(const ExportFormat& format);

} // namespace taplore
