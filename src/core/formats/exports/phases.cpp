#include "core/formats/exports/phases.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/multirate/polyphase.h"

#include <algorithm>

namespace taplore {

PhaseLayout LayoutPhases(int taps, int factor) {
    const int length = (taps + factor - 1) / factor;
    return {factor, length, length * factor - taps};
}

std::vector<std::vector<double>> PaddedPhases(std::span<const double> values, int factor) {
    std::vector<std::vector<double>> phases = PolyphaseSplit(values, factor);
    const auto length =
        static_cast<std::size_t>(LayoutPhases(static_cast<int>(values.size()), factor).length);
    for (std::vector<double>& phase : phases)
        phase.resize(length, 0.0);
    return phases;
}

std::vector<std::vector<std::int32_t>> PaddedPhases(std::span<const std::int32_t> values,
                                                    int factor) {
    const std::vector<double> exact(values.begin(), values.end());
    std::vector<std::vector<std::int32_t>> phases;
    for (const std::vector<double>& phase : PaddedPhases(exact, factor))
        phases.emplace_back(phase.begin(), phase.end());
    return phases;
}

std::vector<std::string> PhasesNote(const RateFactor& change, int taps) {
    const PhaseLayout layout = LayoutPhases(taps, change.factor);
    const std::string m = crt::FormatD(change.factor), length = crt::FormatD(layout.length);
    std::vector<std::string> lines{(change.decimates ? "decimation by " : "interpolation by ") + m +
                                   ": " + m + " phases of " + length +
                                   " taps, phase p holding taps p, p + " + m + ", p + " +
                                   crt::FormatD(2 * change.factor) + ", ..."};
    const std::string over = " is the sum over ";
    const std::string of = crt::FormatD(layout.length - 1) + " of phase[p][k] x input[";
    lines.push_back(change.decimates
                        ? "output[n]" + over + "p and k = 0 ... " + of + m + "n - p - " + m + "k]"
                        : "output[" + m + "n + p]" + over + "k = 0 ... " + of + "n - k]");
    if (layout.padding == 0)
        lines.push_back("no zero padding: every phase holds " + length + " of the taps");
    else if (layout.padding == 1)
        lines.push_back("zero padding: the last phase ends in an added zero tap, which changes "
                        "nothing computed");
    else
        lines.push_back("zero padding: the last " + crt::FormatD(layout.padding) +
                        " phases end in an added zero tap, which changes nothing computed");
    return lines;
}

std::string_view FactorName(const RateFactor& change) {
    return change.decimates ? "DECIMATION_FACTOR" : "INTERPOLATION_FACTOR";
}

std::string StagePrefix(std::size_t index) {
    return "stage" + std::to_string(index + 1) + "_";
}

std::string Upper(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

std::string StageLine(const CascadeInput& input, std::size_t index) {
    const ExportStage& stage = input.stages[index];
    return "stage " + std::to_string(index + 1) + " of " + std::to_string(input.stages.size()) +
           ": " + (stage.change.decimates ? "decimation by " : "interpolation by ") +
           crt::FormatD(stage.change.factor) + " at " + crt::FormatShortest(stage.rate) + " Hz, " +
           crt::FormatD(static_cast<int>(stage.taps.size())) + " taps";
}

void AppendQuantisedStages(std::string& text, const CascadeInput& input,
                           std::string_view commentPrefix, AppendQuantisedFilter appendFilter) {
    for (std::size_t i = 0; i < input.stages.size(); ++i) {
        const ExportStage& stage = input.stages[i];
        const FixedPointTaps& q = QuantisedTaps({stage.taps, stage.quantised, input.description});
        AppendComment(text, commentPrefix,
                      StageLine(input, i) + "; " + QuantisationNote(stage.taps.data(), q));
        appendFilter(text, q, stage.change, StagePrefix(i));
    }
}

} // namespace taplore
