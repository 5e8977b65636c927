// A Verilog header to `include inside a module: the count, width and fraction bits as
// localparams and a function returning tap k as a sized signed constant, which loops, ROMs
// and generate blocks (as a constant function) can all call. No include guard: each module
// that includes it needs its own copy. A rate change adds its phases, a function each; a
// plan's stages share one header, their names prefixed STAGE1_, stage1_, ...
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/phases.h"
#include "core/formats/exports/writers.h"

#include <cstdlib>

namespace taplore {
namespace {

// -16'sd6 for -6 in 16 bits; the most negative value, whose magnitude does not fit, in
// hexadecimal (16'sh8000).
std::string SizedConstant(std::int32_t value, QFormat format) {
    const std::string width = crt::FormatD(format.bits);
    if (value == format.Smallest())
        return width + "'sh" + TwosComplementHex(value, format.bits);
    const std::string magnitude = crt::FormatD(static_cast<int>(std::abs(std::int64_t{value})));
    return (value < 0 ? "-" : "") + width + "'sd" + magnitude;
}

// function signed [WIDTH-1:0] name returning values[k], 0 beyond them.
void AppendFunction(std::string& text, const std::string& name, const std::string& width,
                    std::span<const std::int32_t> values, QFormat format) {
    text += "function signed [" + width + "-1:0] " + name + ";\n    input integer k;\n";
    text += "    case (k)\n";
    text.reserve(text.size() + values.size() * 36);
    for (std::size_t k = 0; k < values.size(); ++k)
        text += "        " + crt::FormatD(static_cast<int>(k)) + ": " + name + " = " +
                SizedConstant(values[k], format) + ";\n";
    text += "        default: " + name + " = " + crt::FormatD(format.bits) + "'sd0;\n";
    text += "    endcase\nendfunction\n";
}

void AppendLocalparam(std::string& text, const std::string& name, int value) {
    text += "localparam integer " + name + " = " + crt::FormatD(value) + ";\n";
}

// The phases' localparams and a function a phase, after the comment that explains them.
void AppendPhases(std::string& text, const FixedPointTaps& q, const RateFactor& change,
                  const std::string& prefix) {
    const std::string constant = Upper(prefix) + "FIR_";
    const PhaseLayout layout = LayoutPhases(static_cast<int>(q.values.size()), change.factor);
    for (const std::string& line : PhasesNote(change, static_cast<int>(q.values.size())))
        AppendComment(text, "//", line);
    AppendLocalparam(text, constant + std::string(FactorName(change)), change.factor);
    AppendLocalparam(text, constant + "PHASE_COUNT", layout.count);
    AppendLocalparam(text, constant + "PHASE_LENGTH", layout.length);
    const auto phases = PaddedPhases(q.values, change.factor);
    for (std::size_t p = 0; p < phases.size(); ++p)
        AppendFunction(text, prefix + "fir_phase_" + std::to_string(p), constant + "TAP_WIDTH",
                       phases[p], q.format);
}

// One filter's localparams and function, and its phases for a change of rate, names after
// prefix.
void AppendFilter(std::string& text, const FixedPointTaps& q,
                  const std::optional<RateFactor>& change, const std::string& prefix) {
    const std::string constant = Upper(prefix) + "FIR_";
    AppendLocalparam(text, constant + "TAP_COUNT", static_cast<int>(q.values.size()));
    AppendLocalparam(text, constant + "TAP_WIDTH", q.format.bits);
    AppendLocalparam(text, constant + "FRACTION_BITS", q.format.fraction);
    AppendFunction(text, prefix + "fir_tap", constant + "TAP_WIDTH", q.values, q.format);
    if (change)
        AppendPhases(text, q, *change, prefix);
}

} // namespace

std::string WriteVerilog(const ExportInput& input) {
    std::string text = CommentLines(input, "//");
    AppendFilter(text, QuantisedTaps(input), input.rateChange, "");
    return text;
}

std::string WriteVerilogCascade(const CascadeInput& input) {
    std::string text = CommentLines({{}, nullptr, input.description}, "//");
    AppendLocalparam(text, "FIR_STAGE_COUNT", static_cast<int>(input.stages.size()));
    AppendQuantisedStages(text, input, "//", AppendFilter);
    return text;
}

} // namespace taplore
