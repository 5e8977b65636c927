#pragma once
// A rate change's stages as an output writes them: each stage's taps in the output's width,
// the stages as a writer of plans takes them, and the cascade of the taps as written measured
// against the rate change's ripple and attenuation, which the double taps keep; a CIC
// compensator's cascade with its FIR as written likewise.

#include "core/formats/exports/export.h"
#include "core/multirate/cic.h"
#include "core/multirate/stage_plan.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace taplore {

// Each stage's taps rounded to width, or none for every stage without a width (a format of the
// taps themselves). Throws NoFixedPointForm.
std::vector<std::optional<FixedPointTaps>> QuantisedStages(const MultirateDesign& plan,
                                                           std::optional<QFormat> width);

// The stages as CascadeInput lists them, each with its quantised taps where it has some.
std::vector<ExportStage> ExportStages(const MultirateDesign& plan,
                                      const std::vector<std::optional<FixedPointTaps>>& quantised);

// The cascade measured with each stage's taps as format writes them (quantised, or read back).
// quantised holds each stage's integers, or null for a format of the taps themselves.
CascadeFigures WrittenCascadeFigures(const MultirateDesign& plan, const ExportFormat& format,
                                     const std::vector<const FixedPointTaps*>& quantised);

// The stages' quantised taps as WrittenCascadeFigures takes them.
std::vector<const FixedPointTaps*>
QuantisedPointers(const std::vector<std::optional<FixedPointTaps>>& quantised);

// A ripple and an attenuation asked, with their texts as the user gave them.
struct AskedTolerances {
    double rippleDb = 0.0, attenuationDb = 0.0;
    std::string rippleText, attenuationText;
};
AskedTolerances AskedOf(const RateChangeAsk& ask);
AskedTolerances AskedOf(const CompensatorAsk& ask);

// What a filter reached of them.
struct ReachedTolerances {
    double rippleDb = 0.0, attenuationDb = 0.0;
};

// What written misses of asked, with what designed reached beside it, joined by "; ": "pass 0
// to 5000 Hz: ripple 0.12 dB as written, 0.0983 dB in double (0.1 dB asked); aliased:
// attenuation ...", the stop band named stop. Empty where written keeps both.
std::string MissedTolerances(const AskedTolerances& asked, double passHz, const std::string& stop,
                             const ReachedTolerances& written, const ReachedTolerances& designed);

// "the cascade's aliased: attenuation 76.892 dB as written, 100.15 dB in double (100 dB
// asked)" where the cascade as written misses what the plan's double taps keep; empty where it
// keeps it, or where the double taps miss too (said already).
std::string CascadeShortfall(const MultirateDesign& plan, const CascadeFigures& written,
                             const AskedTolerances& asked);

// "the cascade's stop 7000 to 24000 Hz: attenuation ..." where the CIC's cascade with the FIR's
// taps as format writes them (quantised, or null for a format of the taps themselves) misses
// asked; empty where it keeps it.
std::string CompensatorShortfall(const CompensatorAsk& ask, std::span<const double> taps,
                                 const ExportFormat& format, const FixedPointTaps* quantised,
                                 const AskedTolerances& asked);

// The format that writes a plan's every tap exactly, in place of format: the C arrays for a C
// file, else JSON.
const ExportFormat& FullPrecisionPlanFormat(const ExportFormat& format);

} // namespace taplore
