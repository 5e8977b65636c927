#include "core/document/window_cic.h"

#include "core/dialog/readings.h"
#include "core/document/window_rate_change.h"
#include "core/formats/cic_report.h"
#include "core/formats/crt.h"
#include "core/formats/multirate_report.h"

#include <algorithm>

namespace taplore {

namespace {

std::string Hz(double hz) {
    return crt::FormatShortest(hz) + " Hz";
}

WindowCic Refused(const std::string& why) {
    return {std::nullopt, "CIC: " + why + "."};
}

// What the other controls must be for a compensator, or nothing.
std::optional<std::string> ControlsProblem(const std::optional<RateChangeChoice>& change,
                                           const DesignAsk& ask) {
    if (ask.pulse)
        return "a pulse is designed by its closed form; clear CIC or choose another Method";
    if (ask.nyquist > 0)
        return "the compensator is designed to the CIC's droop; set Nyquist to Off";
    if (change && change->change == RateChange::interpolate)
        return "a compensator follows a CIC decimator; choose Decimate by or No rate change";
    const auto stages = change ? ParseStages(change->stages) : std::nullopt;
    if (change && (!stages || stages->kind != StagesAsk::Kind::one))
        return "the compensator is one filter; set Stages to 1";
    if (ask.minimumPhase)
        return "the compensator is designed in linear phase; choose Phase: Linear";
    if (ask.method != &CompensatorMethod() || ask.taps > 0)
        return "the compensator is the fewest " + std::string(CompensatorMethod().noun) +
               " taps that keep the cascade's tolerances; choose Method: " +
               std::string(CompensatorMethod().title) + " and Length: Fewest that meet them";
    return std::nullopt;
}

// The compensator's bands without a rate change of its own: the stop band reaches half the
// rate.
WindowCic SingleRateAsk(const CicShape& cic, const Requirements& requirements) {
    if (const auto problem = LowPassProblem(requirements))
        return Refused(*problem);
    const Band& pass = requirements.bands[0];
    const Band& stop = requirements.bands[1];
    const double rate = requirements.rate;
    if (!EdgeAt(stop.highHz, rate / 2, rate))
        return Refused("the stop band must reach half the rate, " + Hz(rate / 2));
    CompensatorAsk ask;
    ask.cic = cic;
    ask.rate = rate;
    ask.passHz = pass.highHz;
    ask.stopHz = stop.lowHz;
    ask.rippleDb = pass.toleranceDb.value_or(requirements.rippleDb);
    ask.attenuationDb = stop.toleranceDb.value_or(requirements.attenuationDb);
    return {ask, {}};
}

// With Decimate by: the bands as the rate change reads them, the stop band from where the
// FIR's decimation folds onto the pass band.
WindowCic DecimatingAsk(const CicShape& cic, const RateChangeChoice& change, const DesignAsk& ask) {
    const WindowRateChange read =
        ReadRateChange(change, ask.requirements, *ask.method, ask.minimumPhase, ask.taps);
    if (!read.ask)
        return {std::nullopt, read.problem};
    const RateChangeAsk& rate = read.ask->ask;
    CompensatorAsk compensator;
    compensator.cic = cic;
    compensator.rate = rate.rate;
    compensator.decimate = rate.factor;
    compensator.passHz = rate.passHz;
    compensator.stopHz = FoldingStopHz(rate.rate, rate.factor, rate.passHz);
    compensator.rippleDb = rate.rippleDb;
    compensator.attenuationDb = rate.attenuationDb;
    return {compensator, {}};
}

} // namespace

WindowCic ReadCic(const std::string& text, const std::optional<RateChangeChoice>& change,
                  const DesignAsk& ask) {
    const std::optional<CicShape> cic = ParseCic(text);
    if (!cic)
        return Refused("must be STAGES:FACTOR or STAGES:FACTOR:DELAY, whole numbers, the factor "
                       "2 or more, not \"" +
                       text + "\"");
    if (const auto problem = ControlsProblem(change, ask))
        return Refused(*problem);
    WindowCic read =
        change ? DecimatingAsk(*cic, *change, ask) : SingleRateAsk(*cic, ask.requirements);
    if (read.ask)
        if (const auto problem = CompensatorProblem(*read.ask))
            return Refused(*problem);
    return read;
}

void DesignWindowCompensator(const DesignAsk& ask, const Progress& progress, DesignShown& shown) {
    auto compensator = std::make_shared<CompensatorDesign>(
        CompensatorDesign{*ask.cic, DesignCompensator(*ask.cic, progress)});
    RequirementsDesign& design = shown.design;
    if (compensator->made.taps.empty()) {
        const bool stopped = progress && !progress(0.0);
        design.status = stopped ? DesignStatus::stopped : DesignStatus::failed;
        design.message = "no length up to the longest keeps the cascade's ripple and attenuation";
        return;
    }
    design.status = DesignStatus::converged;
    design.taps = compensator->made.taps;
    // The window's bands, which the cascade keeps and the plot shades; the FIR alone does not.
    RequirementsReport& report = design.report;
    report.requirements = ask.requirements;
    report.method = &CompensatorMethod();
    report.taps = static_cast<int>(design.taps.size());
    shown.compensator = std::move(compensator);
}

CascadeLevels CompensatorLevels(const CompensatorAsk& ask, std::span<const double> firDb,
                                int points) {
    CascadeLevels levels;
    std::vector<double> cic = CicLevelsDb(ask, 2 * points);
    std::vector<double> fir(firDb.begin(), firDb.begin() + points);
    levels.cascade.resize(static_cast<std::size_t>(points));
    std::transform(cic.begin(), cic.end(), fir.begin(), levels.cascade.begin(),
                   [](double a, double b) { return a + b; });
    levels.stages = {std::move(cic), std::move(fir)};
    return levels;
}

TapsDescription DescribeWindowCompensator(const CompensatorDesign& design) {
    const CompensatorAsk& ask = design.ask;
    return DescribeCompensator(ask, design.made,
                               {CicText(ask.cic), crt::FormatShortest(ask.rippleDb),
                                crt::FormatShortest(ask.attenuationDb)});
}

std::vector<FigureRow> CompensatorRows(const CompensatorDesign& design) {
    const CompensatorAsk& ask = design.ask;
    const CompensatorFigures& f = design.made.figures;
    const double taps = static_cast<double>(design.made.taps.size());
    const std::string fir =
        ask.decimate > 1 ? "FIR: " + crt::FormatD(ask.decimate) + " at " : std::string("FIR at ");
    return {{"CIC " + CicText(ask.cic) + " at " + Hz(ask.rate * ask.cic.factor),
             "droop at " + Hz(ask.passHz), RoundedText(f.droopDb, 2) + " dB", "", true},
            {fir + Hz(ask.rate), crt::FormatD(static_cast<int>(taps)) + " taps",
             RoundedText(taps / ask.decimate, 2) + " multiplications", "", true},
            CascadeRow("Cascade: 0 to " + Hz(ask.passHz), true, ask.rippleDb, f.rippleDb),
            CascadeRow("Cascade: " + crt::FormatShortest(ask.stopHz) + " to " + Hz(ask.rate / 2),
                       false, ask.attenuationDb, f.attenuationDb)};
}

std::string CompensatorShorterText(const CompensatorDesign& design) {
    const CompensatorAsk& ask = design.ask;
    std::string text;
    for (const auto& [taps, figures] : design.made.shorter) {
        const double shortfall = std::max(
            {figures.rippleDb - ask.rippleDb, ask.attenuationDb - figures.attenuationDb, 0.0});
        text += text.empty() ? "" : ", ";
        text += crt::FormatD(taps) + (text.empty() ? " taps miss by " : " taps by ");
        // With the decimals that tell a near miss from none.
        text += FixedText(shortfall, FigureDecimals(0.0, shortfall)) + " dB";
    }
    return text;
}

} // namespace taplore
