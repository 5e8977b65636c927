#include "core/formats/written_plan.h"

#include "core/formats/crt.h"

namespace taplore {

namespace {

// "ripple 0.12 dB as written, 0.0983 dB in double (0.1 dB asked)"
std::string Shortfall(const std::string& what, double written, double designed,
                      const std::string& asked) {
    return what + " " + crt::FormatG(written, 5) + " dB as written, " + crt::FormatG(designed, 5) +
           " dB in double (" + asked + " dB asked)";
}

// The tolerances with their shortest texts, for an ask that keeps no text of its own.
AskedTolerances Asked(double rippleDb, double attenuationDb) {
    return {rippleDb, attenuationDb, crt::FormatShortest(rippleDb),
            crt::FormatShortest(attenuationDb)};
}

} // namespace

std::vector<std::optional<FixedPointTaps>> QuantisedStages(const MultirateDesign& plan,
                                                           std::optional<QFormat> width) {
    std::vector<std::optional<FixedPointTaps>> quantised(plan.stages.size());
    if (width)
        for (std::size_t i = 0; i < quantised.size(); ++i) {
            const std::vector<double>& taps = plan.stages[i].design.taps;
            quantised[i] = Quantise(taps.data(), static_cast<int>(taps.size()), *width);
        }
    return quantised;
}

std::vector<ExportStage> ExportStages(const MultirateDesign& plan,
                                      const std::vector<std::optional<FixedPointTaps>>& quantised) {
    const std::vector<const FixedPointTaps*> integers = QuantisedPointers(quantised);
    std::vector<ExportStage> stages;
    for (std::size_t i = 0; i < plan.stages.size(); ++i) {
        const Stage& stage = plan.stages[i];
        stages.push_back({stage.design.taps,
                          integers[i],
                          {plan.ask.change == RateChange::decimate, stage.spot.factor},
                          stage.spot.rate});
    }
    return stages;
}

CascadeFigures WrittenCascadeFigures(const MultirateDesign& plan, const ExportFormat& format,
                                     const std::vector<const FixedPointTaps*>& quantised) {
    std::vector<Stage> written = plan.stages;
    for (std::size_t i = 0; i < written.size(); ++i)
        written[i].design.taps = WrittenTaps(format, written[i].design.taps, quantised[i]);
    return MeasureCascade(plan.ask, written);
}

std::vector<const FixedPointTaps*>
QuantisedPointers(const std::vector<std::optional<FixedPointTaps>>& quantised) {
    std::vector<const FixedPointTaps*> pointers;
    for (const std::optional<FixedPointTaps>& taps : quantised)
        pointers.push_back(taps ? &*taps : nullptr);
    return pointers;
}

AskedTolerances AskedOf(const RateChangeAsk& ask) {
    return Asked(ask.rippleDb, ask.attenuationDb);
}

AskedTolerances AskedOf(const CompensatorAsk& ask) {
    return Asked(ask.rippleDb, ask.attenuationDb);
}

std::string MissedTolerances(const AskedTolerances& asked, double passHz, const std::string& stop,
                             const ReachedTolerances& written, const ReachedTolerances& designed) {
    std::string missed;
    if (written.rippleDb > asked.rippleDb)
        missed = "pass 0 to " + crt::FormatShortest(passHz) + " Hz: " +
                 Shortfall("ripple", written.rippleDb, designed.rippleDb, asked.rippleText);
    if (written.attenuationDb < asked.attenuationDb)
        missed += (missed.empty() ? "" : "; ") + stop + ": " +
                  Shortfall("attenuation", written.attenuationDb, designed.attenuationDb,
                            asked.attenuationText);
    return missed;
}

std::string CascadeShortfall(const MultirateDesign& plan, const CascadeFigures& written,
                             const AskedTolerances& asked) {
    const CascadeFigures& designed = plan.cascade;
    if (!designed.met || written.met)
        return "";
    const std::string missed = MissedTolerances(asked, plan.ask.passHz, "aliased",
                                                {written.rippleDb, written.attenuationDb},
                                                {designed.rippleDb, designed.attenuationDb});
    return missed.empty() ? "" : "the cascade's " + missed;
}

std::string CompensatorShortfall(const CompensatorAsk& ask, std::span<const double> taps,
                                 const ExportFormat& format, const FixedPointTaps* quantised,
                                 const AskedTolerances& asked) {
    const CompensatorFigures written =
        MeasureCompensator(ask, WrittenTaps(format, taps, quantised));
    if (written.met)
        return "";
    const CompensatorFigures designed =
        MeasureCompensator(ask, std::vector<double>(taps.begin(), taps.end()));
    return "the cascade's " + MissedTolerances(asked, ask.passHz,
                                               "stop " + crt::FormatShortest(ask.stopHz) + " to " +
                                                   crt::FormatShortest(ask.rate / 2) + " Hz",
                                               {written.rippleDb, written.attenuationDb},
                                               {designed.rippleDb, designed.attenuationDb});
}

const ExportFormat& FullPrecisionPlanFormat(const ExportFormat& format) {
    const ExportFormat& c = *FindExportFormat("c");
    return format.extension == c.extension ? c : *FindExportFormat("json");
}

} // namespace taplore
