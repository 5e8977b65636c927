#include "core/document/window_rate_change.h"

#include "core/design/requirements_design.h"
#include "core/dialog/requirements_view.h"
#include "core/fixed/fewest_bits.h"
#include "core/formats/crt.h"
#include "core/formats/multirate_report.h"
#include "core/formats/written_plan.h"
#include "core/io/file_output.h"

#include <cmath>
#include <limits>

namespace taplore {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::string Hz(double hz) {
    return crt::FormatShortest(hz) + " Hz";
}

WindowRateChange Refused(const std::string& why) {
    return {std::nullopt, "Rate change: " + why + "."};
}

// "decimation by 4 at 48000 Hz"
std::string ChangeName(const RateChangeAsk& ask) {
    return std::string(ask.change == RateChange::decimate ? "decimation" : "interpolation") +
           " by " + crt::FormatD(ask.factor) + " at " + Hz(ask.rate);
}

// Of a plan's or a stage's multiplications, those the stage reached or the estimate.
double OneStageMultiplications(const PlanCost& one) {
    return one.designed ? one.multiplications : one.estimated;
}

} // namespace

WindowRateChange ReadRateChange(const RateChangeChoice& choice, const Requirements& requirements,
                                const Method& method, bool minimumPhase, int taps) {
    if (minimumPhase)
        return Refused("its stages are designed in linear phase; choose Phase: Linear");
    if (!method.Searches() || taps > 0)
        return Refused("each stage is designed to the fewest taps that meet its requirements; "
                       "choose a method that searches and Length: Fewest that meet them");
    const std::optional<StagesAsk> stages = ParseStages(choice.stages);
    if (!stages)
        return Refused("Stages must be auto, a count from 1 to " + crt::FormatD(kMostStages) +
                       ", or factors such as 4x4x3, not \"" + choice.stages + "\"");
    if (stages->kind == StagesAsk::Kind::factors) {
        const long long product = FactorsProduct(stages->factors);
        if (product != choice.factor)
            return Refused("the Stages " + FactorsText(stages->factors) + " multiply to " +
                           std::to_string(product) + ", not the factor " +
                           crt::FormatD(choice.factor));
    }
    if (const auto problem = LowPassProblem(requirements))
        return Refused(*problem);
    const std::vector<Band>& bands = requirements.bands;
    RateChangeDesignAsk ask;
    ask.ask.change = choice.change;
    ask.ask.factor = choice.factor;
    ask.ask.rate = requirements.rate;
    ask.ask.passHz = bands[0].highHz;
    ask.ask.rippleDb = bands[0].toleranceDb.value_or(requirements.rippleDb);
    ask.ask.attenuationDb = bands[1].toleranceDb.value_or(requirements.attenuationDb);
    ask.ask.method = &method;
    ask.stages = *stages;
    if (const auto problem = RateChangeProblem(ask.ask))
        return Refused(*problem);
    const double stopHz = ask.ask.rate / ask.ask.factor - ask.ask.passHz;
    const double rate = ask.ask.rate;
    if (!EdgeAt(bands[1].lowHz, stopHz, rate) || !EdgeAt(bands[1].highHz, rate / 2, rate))
        return Refused(ChangeName(ask.ask) + " needs the stop band from " +
                       crt::FormatShortest(stopHz) + " to " + Hz(rate / 2));
    return {ask, {}};
}

std::optional<std::string> LowPassProblem(const Requirements& requirements) {
    const std::vector<Band>& bands = requirements.bands;
    if (bands.size() != 2 || !IsPassBand(bands[0]) || IsPassBand(bands[1]) || bands[0].lowHz != 0.0)
        return "the bands must be one pass band from 0 Hz and one stop band above it";
    if (bands[0].gain != 1.0 || bands[0].endGain)
        return "the pass band's gain must be 1";
    return std::nullopt;
}

bool EdgeAt(double hz, double wanted, double rate) {
    return std::abs(hz - wanted) <= rate * 1e-9;
}

FigureRow CascadeRow(const std::string& band, bool pass, double askedDb, double reachedDb,
                     const std::string& where) {
    const double margin = pass ? askedDb - reachedDb : reachedDb - askedDb;
    const BandFigure figure{pass, askedDb, reachedDb, margin, margin >= 0};
    const FigureTexts texts = FigureTextsOf(figure);
    return {band, texts.asked, texts.reached + where, texts.margin, figure.met};
}

void DesignRateChange(const DesignAsk& ask, const Progress& progress, DesignShown& shown) {
    auto multirate = std::make_shared<MultirateDesign>(
        DesignMultirate(ask.rateChange->ask, ask.rateChange->stages, progress));
    RequirementsDesign& design = shown.design;
    design.status = multirate->status;
    design.message = multirate->message;
    if (!HasTaps(design.status))
        return;
    const std::vector<CascadeStage> stages = CascadeStages(*multirate);
    design.taps = EquivalentTaps(stages);
    // The equivalent filter measured against the window's bands at the nominal gain: an
    // interpolator's taps carry its factor.
    const double gain = CascadeGain(stages);
    std::vector<double> unit(design.taps);
    for (double& tap : unit)
        tap /= gain;
    RequirementsReport& report = design.report;
    report = multirate->stages.front().design.report;
    report.requirements = ask.requirements;
    report.method = ask.method;
    report.taps = static_cast<int>(design.taps.size());
    report.shorter.clear();
    MeasureReport(unit, report);
    shown.multirate = std::move(multirate);
}

std::string RateChangeHeadline(const MultirateDesign& design) {
    return DescribeMultirate(design).title + (design.cascade.met
                                                  ? ": the cascade meets the requirements"
                                                  : ": the cascade misses the requirements");
}

std::vector<FigureRow> RateChangeRows(const MultirateDesign& design) {
    std::vector<FigureRow> rows;
    const char* const per =
        design.ask.change == RateChange::decimate ? " per input sample" : " per output sample";
    double before = 1.0, total = 0.0;
    for (std::size_t i = 0; i < design.stages.size(); ++i) {
        const Stage& stage = design.stages[i];
        const double taps = static_cast<double>(stage.design.taps.size());
        before *= stage.spot.factor;
        total += taps / before;
        rows.push_back({"Stage " + crt::FormatD(static_cast<int>(i) + 1) + ": " +
                            crt::FormatD(stage.spot.factor) + " at " + Hz(stage.spot.rate),
                        crt::FormatD(static_cast<int>(taps)) + " taps",
                        RoundedText(taps / before, 2) + " multiplications", "", true});
    }
    if (design.stages.size() > 1) {
        const double one = OneStageMultiplications(design.oneStage);
        rows.push_back(
            {"Total",
             "one stage: " + RoundedText(one, 2) + (design.oneStage.designed ? "" : " (estimated)"),
             RoundedText(total, 2) + " multiplications" + per,
             RoundedText(one - total, 2) + " fewer", total <= one});
    }
    const CascadeFigures& c = design.cascade;
    const RateChangeAsk& ask = design.ask;
    rows.push_back(CascadeRow("Cascade: 0 to " + Hz(ask.passHz), true, ask.rippleDb, c.rippleDb));
    rows.push_back(CascadeRow("Cascade: aliased", false, ask.attenuationDb, c.attenuationDb,
                              " at " + RoundedText(c.worstHz, 1) + " Hz"));
    return rows;
}

std::vector<RequiredBand> RateChangeBands(const RateChangeAsk& ask) {
    // The ripple is peak to peak: half of it either side of the nominal gain.
    std::vector<RequiredBand> bands{{0.0, ask.passHz, -ask.rippleDb / 2, ask.rippleDb / 2}};
    for (const FrequencySpan& span : AliasSpans(ask))
        bands.push_back({span.lowHz, span.highHz, -kInfinity, -ask.attenuationDb});
    return bands;
}

std::vector<NamedCurve> CascadeParts(const DesignShown& shown) {
    const std::vector<std::vector<double>>& levels = shown.levels.stages;
    if (shown.multirate && levels.size() < 2)
        return {};
    std::vector<NamedCurve> parts;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        NamedCurve part{{}, {levels[i].begin(), levels[i].begin() + shown.points}};
        if (shown.compensator) { // the CIC's levels, then the FIR's
            part.kind = i == 0 ? PartKind::cic : PartKind::fir;
            part.name = i == 0 ? "CIC " + CicText(shown.compensator->ask.cic) : "FIR";
        } else {
            part.name = StageCurveName(*shown.multirate, i);
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

RateFactor RateFactorOf(const RateChangeAsk& ask) {
    return {ask.change == RateChange::decimate, ask.factor};
}

std::string WriteRateChange(const MultirateDesign& plan, const ExportFormat& format,
                            const std::vector<std::optional<FixedPointTaps>>& quantised,
                            const BitTrueFormats& arithmetic) {
    const TapsDescription description = DescribeMultirate(plan);
    if (plan.stages.size() > 1)
        return format.writeCascade({description, ExportStages(plan, quantised), kDefaultBlockSize});
    const std::vector<double>& taps = plan.stages.front().design.taps;
    return format.write({taps, QuantisedPointers(quantised).front(), description, kDefaultBlockSize,
                         RateFactorOf(plan.ask), arithmetic});
}

std::optional<std::string> ExportRateChange(const std::string& path, const MultirateDesign& plan,
                                            const ExportFormat& format, QFormat width,
                                            const BitTrueFormats& arithmetic,
                                            const AskShortfall& ask) {
    const bool several = plan.stages.size() > 1;
    if (several && !format.writeCascade)
        return PlanFormatProblem(format);
    std::string text;
    try {
        const auto quantised = QuantisedStages(plan, ExportQFormat(format, width));
        const std::string shortfall = CascadeShortfall(
            plan, WrittenCascadeFigures(plan, format, QuantisedPointers(quantised)),
            AskedOf(plan.ask));
        const ExportFormat& full =
            several ? FullPrecisionPlanFormat(format) : *FindExportFormat("full");
        const ShortfallChoice choice =
            ChooseShortfall(ask, format, shortfall,
                            several ? " At full precision, the stages are written as " +
                                          std::string(full.name) + " writes them."
                                    : "");
        if (choice == ShortfallChoice::cancel)
            return std::nullopt;
        text = choice == ShortfallChoice::fullPrecision
                   ? WriteRateChange(plan, full, QuantisedStages(plan, std::nullopt), {})
                   : WriteRateChange(plan, format, quantised, arithmetic);
    } catch (const std::runtime_error& e) { // no fixed-point form, or a refused export
        return std::string(e.what());
    }
    WriteTextFile(path, text);
    return std::nullopt;
}

std::string RoundedCascadeText(const RoundedCascade& rounded, const RateChangeAsk& ask) {
    const CascadeFigures& c = rounded.figures;
    return "Stages rounded to " + QFormatName(rounded.format) + ": ripple " +
           crt::FormatG(c.rippleDb, 4) + " dB (" + crt::FormatShortest(ask.rippleDb) +
           " asked), aliased " + RoundedText(c.attenuationDb, 2) + " dB at " +
           RoundedText(c.worstHz, 1) + " Hz (" + crt::FormatShortest(ask.attenuationDb) +
           " asked): the cascade " + (c.met ? "meets" : "misses") + " the requirements.";
}

std::string PlanFormatProblem(const ExportFormat& format) {
    std::string names;
    for (const ExportFormat& other : ExportFormats())
        if (other.writeCascade)
            names += (names.empty() ? "" : ", ") + std::string(other.name);
    return std::string(format.name) +
           " writes one filter, not a plan of stages; the formats "
           "that hold a plan are " +
           names + " (or choose Stages: 1).";
}

} // namespace taplore
