// A VHDL package: the count, width and fraction bits as constants and the taps as a constant
// array of numeric_std's signed, each written bit for bit (so that even the most negative
// 32-bit value needs no integer), its decimal value in a comment. A rate change adds its
// phases, a constant array each; a plan's stages share one package, their names prefixed
// STAGE1_, stage1_, ...
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/phases.h"
#include "core/formats/exports/writers.h"

namespace taplore {
namespace {

constexpr std::string_view kLibraries =
    "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n\n"
    "package fir_coefficients is\n";
constexpr std::string_view kEnd = "end package fir_coefficients;\n";

// constant name : type := (...); by named association, so that a single value is an array too.
void AppendConstantArray(std::string& text, const std::string& name, const std::string& type,
                         std::span<const std::int32_t> values, int bits) {
    text += "    constant " + name + " : " + type + " := (\n" + VhdlTapElements(values, bits);
    text += "    );\n";
}

// The phases' constants after the comment that explains them, names after prefix.
void AppendPhases(std::string& text, const FixedPointTaps& q, const RateFactor& change,
                  const std::string& prefix) {
    const std::string constant = "    constant " + Upper(prefix) + "FIR_";
    const PhaseLayout layout = LayoutPhases(static_cast<int>(q.values.size()), change.factor);
    for (const std::string& line : PhasesNote(change, static_cast<int>(q.values.size())))
        AppendComment(text, "    --", line);
    text += constant + std::string(FactorName(change)) +
            " : positive := " + crt::FormatD(change.factor) + ";\n";
    text += constant + "PHASE_COUNT : positive := " + crt::FormatD(layout.count) + ";\n";
    text += constant + "PHASE_LENGTH : positive := " + crt::FormatD(layout.length) + ";\n";
    const std::string type = prefix + "fir_phase_array";
    text += "    type " + type + " is array (0 to " + Upper(prefix) + "FIR_PHASE_LENGTH - 1) of " +
            "signed(" + Upper(prefix) + "FIR_TAP_WIDTH - 1 downto 0);\n";
    const auto phases = PaddedPhases(q.values, change.factor);
    for (std::size_t p = 0; p < phases.size(); ++p)
        AppendConstantArray(text, Upper(prefix) + "FIR_PHASE_" + std::to_string(p), type, phases[p],
                            q.format.bits);
}

// One filter's constants, and its phases for a change of rate, names after prefix.
void AppendFilter(std::string& text, const FixedPointTaps& q,
                  const std::optional<RateFactor>& change, const std::string& prefix) {
    const std::string constant = "    constant " + Upper(prefix) + "FIR_";
    text += constant +
            "TAP_COUNT : positive := " + crt::FormatD(static_cast<int>(q.values.size())) + ";\n";
    text += constant + "TAP_WIDTH : positive := " + crt::FormatD(q.format.bits) + ";\n";
    text += constant + "FRACTION_BITS : natural := " + crt::FormatD(q.format.fraction) + ";\n";
    const std::string type = prefix + "fir_tap_array";
    text += "    type " + type + " is array (0 to " + Upper(prefix) + "FIR_TAP_COUNT - 1) of " +
            "signed(" + Upper(prefix) + "FIR_TAP_WIDTH - 1 downto 0);\n";
    AppendConstantArray(text, Upper(prefix) + "FIR_TAPS", type, q.values, q.format.bits);
    if (change)
        AppendPhases(text, q, *change, prefix);
}

} // namespace

std::string WriteVhdl(const ExportInput& input) {
    std::string text = CommentLines(input, "--");
    text += kLibraries;
    AppendFilter(text, QuantisedTaps(input), input.rateChange, "");
    return text + std::string(kEnd);
}

std::string WriteVhdlCascade(const CascadeInput& input) {
    std::string text = CommentLines({{}, nullptr, input.description}, "--");
    text += kLibraries;
    text += "    constant FIR_STAGE_COUNT : positive := " +
            crt::FormatD(static_cast<int>(input.stages.size())) + ";\n";
    AppendQuantisedStages(text, input, "    --", AppendFilter);
    return text + std::string(kEnd);
}

} // namespace taplore
