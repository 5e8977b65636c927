#include "core/formats/exports/verilog_fir.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"

#include <cstdlib>

namespace taplore {
namespace {

std::string D(int value) {
    return crt::FormatD(value);
}

// SYMMETRY: 1 symmetric, -1 antisymmetric, 0 neither.
int SymmetryParameter(const std::vector<std::int32_t>& taps) {
    const Symmetry symmetry = SymmetryOf(taps);
    return symmetry == Symmetry::even ? 1 : symmetry == Symmetry::odd ? -1 : 0;
}

std::string TapConstant(std::int32_t value, int bits) {
    const std::int64_t magnitude = std::llabs(std::int64_t{value});
    // A magnitude one bit wider than the tap keeps the most negative value exact.
    return std::string(value < 0 ? "-" : "") + D(bits + 1) + "'sd" + crt::FormatD(magnitude);
}

std::string TapFunction(const FixedPointTaps& taps) {
    std::string text = "    function signed [TAP_BITS:0] fir_tap;\n        input integer k;\n"
                       "        case (k)\n";
    for (std::size_t k = 0; k < taps.values.size(); ++k)
        text += "            " + D(static_cast<int>(k)) +
                ": fir_tap = " + TapConstant(taps.values[k], taps.format.bits) + ";\n";
    text += "            default: fir_tap = 0;\n        endcase\n    endfunction\n";
    return text;
}

std::string Header(const BitTrueFormats& formats) {
    return "module taplore_fir #(\n"
           "    parameter integer IN_BITS = " +
           D(formats.input.bits) +
           ",\n"
           "    parameter integer OUT_BITS = " +
           D(formats.output.bits) +
           ",\n"
           "    parameter integer ACC_BITS = " +
           D(formats.accumulatorBits) +
           ",\n"
           "    // the accumulator's fraction bits (input's plus taps') less the output's\n"
           "    parameter integer SHIFT = " +
           D(formats.input.fraction + formats.tapFraction - formats.output.fraction) +
           ",\n"
           "    parameter integer SATURATE = " +
           D(formats.overflow == Overflow::saturate) +
           ",\n"
           "    // 0 nearest (ties away from zero), 1 floor, 2 towards zero, 3 convergent\n"
           "    parameter integer ROUNDING = " +
           D(static_cast<int>(formats.rounding)) +
           "\n"
           ") (\n"
           "    input wire clk,\n"
           "    input wire ce,\n"
           "    input wire signed [IN_BITS-1:0] x,\n"
           "    output reg signed [OUT_BITS-1:0] y\n"
           ");\n";
}

constexpr const char* kBody =
    R"(    localparam integer MULTIPLIERS = SYMMETRY == 0 ? TAP_COUNT : (TAP_COUNT + 1) / 2;
    localparam integer PRODUCT_BITS = IN_BITS + 1 + TAP_BITS + 1;
    // Wide enough for the exact sum, the accumulator shifted up and the output's range.
    localparam integer SUM_BITS = PRODUCT_BITS + $clog2(MULTIPLIERS + 1) + 1;
    localparam integer UP = SHIFT < 0 ? -SHIFT : 0;
    localparam integer W0 = SUM_BITS > ACC_BITS + UP ? SUM_BITS : ACC_BITS + UP;
    localparam integer W = (W0 > OUT_BITS ? W0 : OUT_BITS) + 2;
    localparam signed [W-1:0] ONE = 1;

    function signed [W-1:0] fit;
        input signed [W-1:0] v;
        input integer bits;
        reg signed [W-1:0] largest;
        begin
            largest = (ONE <<< (bits - 1)) - ONE;
            if (v >= -largest - ONE && v <= largest)
                fit = v;
            else if (SATURATE != 0)
                fit = v > largest ? largest : -largest - ONE;
            else
                fit = (v <<< (W - bits)) >>> (W - bits);
        end
    endfunction

    function signed [W-1:0] round_shift;
        input signed [W-1:0] v;
        reg signed [W-1:0] down, rest, half, magnitude;
        begin
            down = v >>> SHIFT;
            rest = v - (down <<< SHIFT);
            half = ONE <<< (SHIFT - 1);
            round_shift = down;
            if (ROUNDING == 2 && v < 0 && rest != 0)
                round_shift = down + ONE;
            if (ROUNDING == 3 && (rest > half || (rest == half && down[0])))
                round_shift = down + ONE;
            if (ROUNDING == 0) begin
                magnitude = ((v < 0 ? -v : v) + half) >>> SHIFT;
                round_shift = v < 0 ? -magnitude : magnitude;
            end
        end
    endfunction

    function signed [W-1:0] to_output;
        input signed [W-1:0] accumulator;
        begin
            if (SHIFT > 0)
                to_output = fit(round_shift(accumulator), OUT_BITS);
            else
                to_output = fit(accumulator <<< UP, OUT_BITS);
        end
    endfunction

    reg signed [IN_BITS-1:0] delay [0:TAP_COUNT-1];
    reg signed [IN_BITS:0] pre [0:MULTIPLIERS-1];
    reg signed [PRODUCT_BITS-1:0] product [0:MULTIPLIERS-1];
    reg signed [W-1:0] sum;
    reg signed [W-1:0] total;
    reg signed [W-1:0] result;
    integer k;

    initial begin
        for (k = 0; k < TAP_COUNT; k = k + 1)
            delay[k] = 0;
        for (k = 0; k < MULTIPLIERS; k = k + 1) begin
            pre[k] = 0;
            product[k] = 0;
        end
        sum = 0;
        y = 0;
    end

    always @(posedge clk) begin
        if (ce) begin
            delay[0] <= x;
            for (k = 1; k < TAP_COUNT; k = k + 1)
                delay[k] <= delay[k - 1];
            // A symmetric pair shares one multiplier: h[k] (x[n-k] +- x[n-(N-1-k)]).
            for (k = 0; k < MULTIPLIERS; k = k + 1)
                if (SYMMETRY == 0 || 2 * k == TAP_COUNT - 1)
                    pre[k] <= delay[k];
                else if (SYMMETRY > 0)
                    pre[k] <= delay[k] + delay[TAP_COUNT - 1 - k];
                else
                    pre[k] <= delay[k] - delay[TAP_COUNT - 1 - k];
            for (k = 0; k < MULTIPLIERS; k = k + 1)
                product[k] <= pre[k] * fir_tap(k);
            total = 0;
            for (k = 0; k < MULTIPLIERS; k = k + 1)
                total = total + product[k];
            sum <= total;
            result = to_output(fit(sum, ACC_BITS));
            y <= result[OUT_BITS-1:0];
        end
    end
endmodule
)";

} // namespace

std::string WriteVerilogFir(const FixedPointTaps& taps, const BitTrueFormats& formats) {
    std::string text =
        "// A linear-phase FIR filter computing bit for bit what taplore-design --simulate\n"
        "// computes. Latency: y holds y[n] after the " +
        D(kVerilogFirLatency) +
        "th enabled clock following the one that takes x[n].\n"
        "// The exact sum of products is fitted to ACC_BITS, then rounded to the output's\n"
        "// fraction and fitted to OUT_BITS, wrapping or saturating at both.\n";
    text += Header(formats);
    text += "    localparam integer TAP_COUNT = " + D(static_cast<int>(taps.values.size())) + ";\n";
    text += "    localparam integer TAP_BITS = " + D(taps.format.bits) + ";\n";
    text += "    localparam integer SYMMETRY = " + D(SymmetryParameter(taps.values)) + ";\n";
    text += TapFunction(taps);
    text += kBody;
    return text;
}

std::string WriteVerilogTestbench(const BitTrueFormats& formats) {
    std::string text =
        "// Feeds STIMULUS to taplore_fir, one integer a line, with an idle clock (ce low,\n"
        "// x changed) after every second sample, and compares each output with\n"
        "// EXPECTED after the filter's latency of " +
        D(kVerilogFirLatency) + " enabled clocks.\n`timescale 1ns / 1ps\n";
    text += "module taplore_fir_tb;\n    parameter STIMULUS = \"stimulus.txt\";\n"
            "    parameter EXPECTED = \"expected.txt\";\n";
    text += "    localparam integer LATENCY = " + D(kVerilogFirLatency) + ";\n";
    text += "    localparam integer IN_BITS = " + D(formats.input.bits) + ";\n";
    text += "    localparam integer OUT_BITS = " + D(formats.output.bits) + ";\n";
    text += R"(    reg clk = 0;
    reg ce = 0;
    reg signed [IN_BITS-1:0] x = 0;
    wire signed [OUT_BITS-1:0] y;
    reg signed [63:0] value, want;
    integer stimulus, expected, enabled, compared, differences, got;
    reg more;

    taplore_fir dut(.clk(clk), .ce(ce), .x(x), .y(y));

    task tick;
        begin
            #5 clk = 1;
            #1;
        end
    endtask

    initial begin
        stimulus = $fopen(STIMULUS, "r");
        expected = $fopen(EXPECTED, "r");
        if (stimulus == 0 || expected == 0) begin
            $display("cannot open %0s or %0s", STIMULUS, EXPECTED);
            $finish;
        end
        enabled = 0;
        compared = 0;
        differences = 0;
        more = 1;
        while (more) begin
            if (enabled % 2 == 1) begin
                ce = 0;
                x = ~x;
                tick;
                #4 clk = 0;
            end
            got = $fscanf(stimulus, "%d\n", value);
            x = got == 1 ? value[IN_BITS-1:0] : 0;
            ce = 1;
            tick;
            if (enabled >= LATENCY) begin
                got = $fscanf(expected, "%d\n", want);
                if (got != 1)
                    more = 0;
                else begin
                    if ($signed(y) !== want) begin
                        if (differences == 0)
                            $display("first difference at sample %0d: %0d, expected %0d",
                                     compared, $signed(y), want);
                        differences = differences + 1;
                    end
                    compared = compared + 1;
                end
            end
            enabled = enabled + 1;
            #4 clk = 0;
        end
        $display("%0d samples compared, %0d differences", compared, differences);
        $finish;
    end
endmodule
)";
    return text;
}

namespace {

// The formats the writers are asked for, the taps' fraction and the default accumulator filled in.
BitTrueFormats ArithmeticOf(const ExportInput& input) {
    const FixedPointTaps& taps = QuantisedTaps(input);
    BitTrueFormats formats = input.arithmetic;
    formats.tapFraction = taps.format.fraction;
    if (formats.accumulatorBits == 0)
        formats.accumulatorBits = NeverOverflowingBits(formats.input.bits, taps.values);
    return formats;
}

} // namespace

std::string WriteVerilogFirExport(const ExportInput& input) {
    return CommentLines(input, "//") + WriteVerilogFir(QuantisedTaps(input), ArithmeticOf(input));
}

std::string WriteVerilogTestbenchExport(const ExportInput& input) {
    return CommentLines(input, "//") + WriteVerilogTestbench(ArithmeticOf(input));
}

} // namespace taplore
