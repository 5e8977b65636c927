// The C arrays of doubles and of integers: the taps as the dialog copies them and, for a rate
// change, the doubles' phases as a two-dimensional array beside them; a plan's stages each so in
// one file, their names prefixed stage1_, stage2_, ...
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/phases.h"
#include "core/formats/exports/writers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace taplore {
namespace {

void AppendCComment(std::string& text, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n * " : "/* ") + lines[i];
    text += " */\n";
}

// prefix + "fir_phases"[count][length], a row a phase, after the comment that explains them
// and the factor's, the count's and the length's macros.
void AppendCPhases(std::string& text, std::span<const double> taps, const RateFactor& change,
                   const std::string& prefix) {
    const int count = static_cast<int>(taps.size());
    const PhaseLayout layout = LayoutPhases(count, change.factor);
    const std::string macro = "#define " + Upper(prefix) + "FIR_";
    AppendCComment(text, PhasesNote(change, count));
    text += macro + std::string(FactorName(change)) + " " + crt::FormatD(change.factor) + "\n";
    text += macro + "PHASE_COUNT " + crt::FormatD(layout.count) + "\n";
    text += macro + "PHASE_LENGTH " + crt::FormatD(layout.length) + "\n";
    text += "const double " + prefix + "fir_phases[" + Upper(prefix) + "FIR_PHASE_COUNT][" +
            Upper(prefix) + "FIR_PHASE_LENGTH] = {\n";
    const std::vector<std::vector<double>> phases = PaddedPhases(taps, change.factor);
    for (std::size_t p = 0; p < phases.size(); ++p) {
        text += "    { /* phase " + std::to_string(p) + " */\n";
        for (const double tap : phases[p]) {
            text += "        ";
            AppendCFloatingConstant(text, tap, CFloating::doubleType);
            text += ",\n";
        }
        text += "    },\n";
    }
    text += "};\n";
}

bool AllFinite(std::span<const double> taps) {
    return std::all_of(taps.begin(), taps.end(), [](double tap) { return std::isfinite(tap); });
}

// A stage's integers under its own name (its comment, the stage and its quantisation, before).
void AppendIntegerStage(std::string& text, const FixedPointTaps& quantised,
                        const std::optional<RateFactor>&, const std::string& prefix) {
    text += FormatFixedPointCArray(prefix + "fir_coefficients", quantised);
}

} // namespace

std::string WriteCArray(const ExportInput& input) {
    std::string text = FormatCoefficientsC(input.taps.data(), static_cast<int>(input.taps.size()),
                                           input.description);
    if (input.rateChange)
        AppendCPhases(text, input.taps, *input.rateChange, "");
    return text;
}

std::string WriteCArrayCascade(const CascadeInput& input) {
    std::string text = FormatCComment(input.description);
    if (!std::all_of(input.stages.begin(), input.stages.end(),
                     [](const ExportStage& stage) { return AllFinite(stage.taps); }))
        text += "#include <math.h>\n";
    text += "#define FIR_STAGE_COUNT " + crt::FormatD(static_cast<int>(input.stages.size())) + "\n";
    for (std::size_t i = 0; i < input.stages.size(); ++i) {
        const ExportStage& stage = input.stages[i];
        const std::string prefix = StagePrefix(i);
        text += "\n";
        AppendCComment(text, {StageLine(input, i)});
        text += "#define " + Upper(prefix) + "FIR_RATE ";
        AppendCFloatingConstant(text, stage.rate, CFloating::doubleType);
        text += '\n';
        text += FormatCDoubleArray(prefix + "fir_coefficients", stage.taps.data(),
                                   static_cast<int>(stage.taps.size()));
        AppendCPhases(text, stage.taps, stage.change, prefix);
    }
    return text;
}

std::string WriteIntegerCArrayCascade(const CascadeInput& input) {
    std::string text = FormatCComment(input.description) + "#include <stdint.h>\n";
    text += "#define FIR_STAGE_COUNT " + crt::FormatD(static_cast<int>(input.stages.size())) + "\n";
    AppendQuantisedStages(text, input, "//", AppendIntegerStage);
    return text;
}

} // namespace taplore
