#include "core/formats/exports/verilog_fir.h"

#include "core/formats/crt.h"
#include "core/formats/exports/hdl_fir.h"

#include <cstdlib>

namespace taplore {
namespace {

std::string D(int value) {
    return crt::FormatD(value);
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
           D(FirShift(formats)) +
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
    R"(    localparam integer PRODUCT_BITS = IN_BITS + 1 + TAP_BITS + 1;
    // Each level of the tree adds a bit: the sums stay exact.
    localparam integer SUM_BITS = PRODUCT_BITS + LEVELS;
    // Wide enough for the exact sum, the accumulator shifted up and the output's range.
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

    // The adder tree's nodes, a level after the other: level 0 holds the products, each further
    // level the sums of the pairs of the one before, an odd one out passing on alone.
    function integer level_count;
        input integer level;
        integer l;
        begin
            level_count = MULTIPLIERS;
            for (l = 0; l < level; l = l + 1)
                level_count = (level_count + 1) / 2;
        end
    endfunction

    function integer level_start;
        input integer level;
        integer l;
        begin
            level_start = 0;
            for (l = 0; l < level; l = l + 1)
                level_start = level_start + level_count(l);
        end
    endfunction

    localparam integer NODES = level_start(LEVELS) + 1;

    reg signed [IN_BITS-1:0] delay [0:TAP_COUNT-1];
    reg signed [IN_BITS:0] pre [0:MULTIPLIERS-1];
    reg signed [SUM_BITS-1:0] node [0:NODES-1];
    reg signed [W-1:0] result;
    integer k, l;

    initial begin
        for (k = 0; k < TAP_COUNT; k = k + 1)
            delay[k] = 0;
        for (k = 0; k < MULTIPLIERS; k = k + 1)
            pre[k] = 0;
        for (k = 0; k < NODES; k = k + 1)
            node[k] = 0;
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
                node[k] <= pre[k] * fir_tap(k);
            for (l = 1; l <= LEVELS; l = l + 1)
                for (k = 0; k < level_count(l); k = k + 1)
                    if (2 * k + 1 < level_count(l - 1))
                        node[level_start(l) + k] <= node[level_start(l - 1) + 2 * k] +
                                                    node[level_start(l - 1) + 2 * k + 1];
                    else
                        node[level_start(l) + k] <= node[level_start(l - 1) + 2 * k];
            result = to_output(fit(node[NODES - 1], ACC_BITS));
            y <= result[OUT_BITS-1:0];
        end
    end
endmodule
)";

} // namespace

std::string WriteVerilogFir(const FixedPointTaps& taps, const BitTrueFormats& formats) {
    std::string text = FirComment(taps.values, "//");
    text += Header(formats);
    text += "    localparam integer TAP_COUNT = " + D(static_cast<int>(taps.values.size())) + ";\n";
    text += "    localparam integer TAP_BITS = " + D(taps.format.bits) + ";\n";
    text += "    localparam integer SYMMETRY = " + D(FirSymmetryConstant(taps.values)) + ";\n";
    text += "    localparam integer MULTIPLIERS = " + D(FirMultipliers(taps.values)) + ";\n";
    text += "    localparam integer LEVELS = " + D(FirTreeLevels(taps.values)) + ";\n";
    text += TapFunction(taps);
    text += kBody;
    return text;
}

std::string WriteVerilogTestbench(const FixedPointTaps& taps, const BitTrueFormats& formats) {
    std::string text = FirTestbenchComment(taps.values, "//") + "`timescale 1ns / 1ps\n";
    text += "module taplore_fir_tb;\n    parameter STIMULUS = \"stimulus.txt\";\n"
            "    parameter EXPECTED = \"expected.txt\";\n";
    text += "    localparam integer LATENCY = " + D(FirLatency(taps.values)) + ";\n";
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

std::string WriteVerilogFirExport(const ExportInput& input) {
    return HdlExport(input, "//", WriteVerilogFir);
}

std::string WriteVerilogTestbenchExport(const ExportInput& input) {
    return HdlExport(input, "//", WriteVerilogTestbench);
}

} // namespace taplore
