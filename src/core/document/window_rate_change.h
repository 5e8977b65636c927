#pragma once
// The requirements window's rate change: its bands read as a decimator's or interpolator's
// requirements, the plan designed on the window's worker, and the stages shown in the result
// table and the magnitude plot.

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

// The curves the cascade shown is made of, dashed under it in the magnitude plot: a plan's
// stages (one stage is the cascade itself) or a compensator's CIC and FIR, each shown.points
// long; none for a single filter.
std::vector<NamedCurve> CascadeParts(const DesignShown& shown);

// The change as a single stage's export takes it.
RateFactor RateFactorOf(const RateChangeAsk& ask);

// The rate change's stages in format: one stage as any filter with its factor and, for an
// HDL filter, arithmetic; several in one text of a format that holds a plan (writeCascade).
// quantised holds each stage's integers in format's width (QuantisedStages). Throws what the
// writer throws.
std::string WriteRateChange(const MultirateDesign& plan, const ExportFormat& format,
                            const std::vector<std::optional<FixedPointTaps>>& quantised,
                            const BitTrueFormats& arithmetic);

// Writes the rate change in format to path, in width where format's width is chosen: where the
// cascade of the stages as written misses what the double taps keep, ask chooses first, and
// full precision writes the stages as FullPrecisionPlanFormat writes them (one stage as
// "full"). Returns what to say where nothing could be written; nothing after writing, or when
// ask cancels. Throws CFileException.
std::optional<std::string> ExportRateChange(const std::string& path, const MultirateDesign& plan,
                                            const ExportFormat& format, QFormat width,
                                            const BitTrueFormats& arithmetic,
                                            const AskShortfall& ask);

// The Fixed point panel's words of the rounded cascade: "Stages rounded to Q15: ripple 0.0987
// dB (0.1 asked), aliased 81.53 dB at 7031.3 Hz (100 asked): the cascade misses the
// requirements."
std::string RoundedCascadeText(const RoundedCascade& rounded, const RateChangeAsk& ask);

// Why format cannot write a plan of several stages, naming the formats that can.
std::string PlanFormatProblem(const ExportFormat& format);

} // namespace taplore
