// A Verilog header to `include inside a module: the count, width and fraction bits as
// localparams and a function returning tap k as a sized signed constant, which loops, ROMs
// and generate blocks (as a constant function) can all call. No include guard: each module
// that includes it needs its own copy.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
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

} // namespace

std::string WriteVerilog(const ExportInput& input) {
    const FixedPointTaps& q = QuantisedTaps(input);
    std::string text = CommentLines(input, "//");
    text +=
        "localparam integer FIR_TAP_COUNT = " + crt::FormatD(static_cast<int>(q.values.size())) +
        ";\n";
    text += "localparam integer FIR_TAP_WIDTH = " + crt::FormatD(q.format.bits) + ";\n";
    text += "localparam integer FIR_FRACTION_BITS = " + crt::FormatD(q.format.fraction) + ";\n";
    text += "function signed [FIR_TAP_WIDTH-1:0] fir_tap;\n    input integer k;\n";
    text += "    case (k)\n";
    text.reserve(text.size() + q.values.size() * 36);
    for (std::size_t k = 0; k < q.values.size(); ++k)
        text += "        " + crt::FormatD(static_cast<int>(k)) +
                ": fir_tap = " + SizedConstant(q.values[k], q.format) + ";\n";
    text += "        default: fir_tap = " + crt::FormatD(q.format.bits) + "'sd0;\n";
    text += "    endcase\nendfunction\n";
    return text;
}

} // namespace taplore
