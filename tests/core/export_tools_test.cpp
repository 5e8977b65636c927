// The hardware and firmware exports through the tools their users run: ghdl analyses the VHDL
// package and runs a test bench that filters an impulse, iverilog compiles the Verilog header
// into the same test bench, and the C compiler builds the CMSIS-DSP style C against a FIR loop
// in that library's calling order. Each must give back the taps it was made from.
#include "core/design/fir_design.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace taplore;

const TapsDescription kStartUp{
    "band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz", {}, 8000};

// The start-up design, then the edges of every width: the most negative value and saturation.
std::vector<double> Taps() {
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_EQ(DesignFilter(coef, count, 511, 0.1, 0.6), 511);
    std::vector<double> taps(coef.get(), coef.get() + count);
    taps.insert(taps.end(), {-1.0, 1.0, 0.5, -0.5});
    return taps;
}

std::vector<long long> Integers(const std::vector<std::int32_t>& values) {
    return {values.begin(), values.end()};
}

class ExportTools : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    void Save(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    // Runs command in the work folder; its output (standard error too) once it exits with 0.
    std::string Run(const std::string& command) const {
        std::string out;
        FILE* pipe = ::popen(("cd " + m_dir.string() + " && " + command + " 2>&1").c_str(), "r");
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            out += static_cast<char>(c);
        EXPECT_EQ(::pclose(pipe), 0) << command << "\n" << out;
        return out;
    }

    static std::vector<long long> Numbers(const std::string& text) {
        std::vector<long long> numbers;
        std::istringstream in(text);
        for (long long n; in >> n;)
            numbers.push_back(n);
        return numbers;
    }

    std::string Export(std::string_view name, const std::vector<double>& taps,
                       const FixedPointTaps* q, int blockSize = kDefaultBlockSize) const {
        return FindExportFormat(name)->write({taps, q, kStartUp, blockSize});
    }

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_tools_" + std::to_string(getpid()));
};

// The test bench shifts an impulse through a direct-form FIR built from the package and prints
// each output: the taps, one a line.
constexpr const char* kVhdlBench = R"(library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use std.textio.all;
use work.fir_coefficients.all;

entity impulse_bench is
end entity impulse_bench;

architecture sim of impulse_bench is
begin
    process
        type sample_array is array (0 to FIR_TAP_COUNT - 1) of integer;
        variable samples : sample_array := (others => 0);
        variable sum : signed(2 * FIR_TAP_WIDTH + 15 downto 0);
        variable text : line;
    begin
        for n in 0 to FIR_TAP_COUNT - 1 loop
            for k in FIR_TAP_COUNT - 1 downto 1 loop
                samples(k) := samples(k - 1);
            end loop;
            samples(0) := 1 when n = 0 else 0;
            sum := (others => '0');
            for k in 0 to FIR_TAP_COUNT - 1 loop
                if samples(k) /= 0 then -- the simulator's time goes to the products
                    sum := sum + resize(FIR_TAPS(k) * to_signed(samples(k), FIR_TAP_WIDTH),
                                        sum'length);
                end if;
            end loop;
            write(text, integer'image(to_integer(sum)));
            writeline(output, text);
        end loop;
        wait;
    end process;
end architecture sim;
)";

TEST_F(ExportTools, GhdlRunsTheVhdlPackageAndTheImpulseGivesTheTapsBack) {
    const std::vector<double> taps = Taps();
    for (const QFormat width : {QFormat{2, 1}, QFormat::q15, QFormat{18, 17}, QFormat::q31}) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), width);
        Save("fir_coefficients.vhd", Export("vhdl", taps, &q));
        Save("impulse_bench.vhd", kVhdlBench);
        Run("ghdl -a --std=08 fir_coefficients.vhd impulse_bench.vhd");
        Run("ghdl -e --std=08 impulse_bench");
        EXPECT_EQ(Numbers(Run("ghdl -r --std=08 impulse_bench")), Integers(q.values))
            << QFormatName(width);
    }
}

// The same bench in Verilog; the constant function also sets a localparam, as a generate
// block would use it.
constexpr const char* kVerilogBench = R"(`timescale 1ns / 1ns
module impulse_bench;
`include "fir_coefficients.vh"
localparam signed [FIR_TAP_WIDTH-1:0] FIRST_TAP = fir_tap(0);
reg signed [FIR_TAP_WIDTH-1:0] samples [0:FIR_TAP_COUNT-1];
reg signed [63:0] sum;
integer n, k;
initial begin
    if (FIRST_TAP !== fir_tap(0))
        $fatal(1, "the constant function disagrees with itself");
    for (k = 0; k < FIR_TAP_COUNT; k = k + 1)
        samples[k] = 0;
    for (n = 0; n < FIR_TAP_COUNT; n = n + 1) begin
        for (k = FIR_TAP_COUNT - 1; k > 0; k = k - 1)
            samples[k] = samples[k - 1];
        samples[0] = n == 0 ? 1 : 0;
        sum = 0;
        for (k = 0; k < FIR_TAP_COUNT; k = k + 1)
            if (samples[k] != 0) // the simulator's time goes to the products
                sum = sum + fir_tap(k) * samples[k];
        $display("%0d", sum);
    end
    $finish;
end
endmodule
)";

TEST_F(ExportTools, IverilogCompilesTheHeaderAndTheImpulseGivesTheTapsBack) {
    const std::vector<double> taps = Taps();
    for (const QFormat width : {QFormat{2, 1}, QFormat::q15, QFormat{25, 24}, QFormat::q31}) {
        const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), width);
        Save("fir_coefficients.vh", Export("verilog", taps, &q));
        Save("impulse_bench.v", kVerilogBench);
        EXPECT_EQ(Run("iverilog -g2005 -Wall -o impulse_bench impulse_bench.v"), "");
        std::string out = Run("vvp -n impulse_bench");
        out = out.substr(0, out.find("impulse_bench.v")); // $finish's own line
        EXPECT_EQ(Numbers(out), Integers(q.values)) << QFormatName(width);
    }
}

// A FIR loop in CMSIS-DSP's calling order: the state holds numTaps - 1 earlier samples, then
// the block; output i sums pCoeffs[k] * state[i + k] (coefficients last tap first); the last
// numTaps - 1 samples move to the front for the next block. Exact sums (64-bit integers, or
// doubles in the same order as the direct convolution) are compared with h * x, h being the
// taps in their own order, over blocks of a length that does not divide the taps: first an
// impulse, whose outputs are the taps, then other samples.
constexpr const char* kCmsisDriver = R"(#include <stdio.h>
#include "fir.c"
#include "expected.h"

static void fir_block(const INSTANCE* S, const SAMPLE* src, ACCUMULATOR* dst, unsigned block) {
    SAMPLE* state = S->pState;
    for (unsigned i = 0; i < block; ++i)
        state[S->numTaps - 1 + i] = src[i];
    for (unsigned i = 0; i < block; ++i) {
        ACCUMULATOR sum = 0;
        for (unsigned k = 0; k < S->numTaps; ++k)
            sum += (ACCUMULATOR)S->pCoeffs[k] * state[i + k];
        dst[i] = sum;
    }
    for (unsigned k = 0; k + 1 < S->numTaps; ++k)
        state[k] = state[block + k];
}

enum { BLOCKS = 2 * FIR_NUM_TAPS / FIR_BLOCK_SIZE + 2, LENGTH = BLOCKS * FIR_BLOCK_SIZE };

int main(void) {
    SAMPLE input[LENGTH];
    ACCUMULATOR output[LENGTH];
    for (unsigned n = 0; n < LENGTH; ++n)
        input[n] = (SAMPLE)(n < FIR_NUM_TAPS ? n == 0 : (int)((n * 7919u) % 201u) - 100);
    for (unsigned b = 0; b < BLOCKS; ++b)
        fir_block(&fir_instance, input + b * FIR_BLOCK_SIZE, output + b * FIR_BLOCK_SIZE,
                  FIR_BLOCK_SIZE);
    const unsigned count = sizeof expected_taps / sizeof *expected_taps;
    int wrong = 0;
    for (unsigned n = 0; n < LENGTH; ++n) {
        ACCUMULATOR direct = 0;
        for (unsigned j = FIR_NUM_TAPS; j-- > 0;)
            if (j < count && j <= n)
                direct += (ACCUMULATOR)(SAMPLE)expected_taps[j] * input[n - j];
        wrong += direct != output[n];
    }
    for (unsigned j = 0; j < count; ++j)
        printf("%lld\n", (long long)output[j]);
    return wrong;
}
)";

TEST_F(ExportTools, CmsisStyleCFiltersAsTheDirectConvolutionInAllThreeTypes) {
    const std::vector<double> taps = Taps();
    struct Target {
        const char* name;
        std::optional<QFormat> width;
        const char* types; // the driver's instance, sample and accumulator types
    };
    const Target targets[] = {
        {"cmsis-q15", QFormat::q15,
         "#define INSTANCE arm_fir_instance_q15\n#define SAMPLE q15_t\n"
         "#define ACCUMULATOR long long\n"},
        {"cmsis-q31", QFormat::q31,
         "#define INSTANCE arm_fir_instance_q31\n#define SAMPLE q31_t\n"
         "#define ACCUMULATOR long long\n"},
        {"cmsis-f32", std::nullopt,
         "#define INSTANCE arm_fir_instance_f32\n#define SAMPLE float32_t\n"
         "#define ACCUMULATOR double\n"},
    };
    for (const Target& target : targets) {
        std::optional<FixedPointTaps> q;
        std::string expected = "static const double expected_taps[] = {\n";
        if (target.width) {
            q = Quantise(taps.data(), static_cast<int>(taps.size()), *target.width);
            for (const std::int32_t value : q->values)
                expected += std::to_string(value) + ".0,\n";
        } else {
            char number[40];
            for (const double tap : taps)
                expected +=
                    std::string(number, std::snprintf(number, sizeof number, "%.17g,\n", tap));
        }
        Save("fir.c", Export(target.name, taps, q ? &*q : nullptr, 7));
        Save("expected.h", std::string(target.types) + expected + "};\n");
        Save("driver.c", kCmsisDriver);
        const std::string cc = "cc -std=c99 -Wall -Wextra -Werror ";
        EXPECT_EQ(Run(cc + "-c fir.c -o fir.o"), "") << target.name;
        Run(cc + "driver.c -o driver");
        const std::vector<long long> impulse = Numbers(Run("./driver"));
        if (q)
            EXPECT_EQ(impulse, Integers(q->values)) << target.name;
        else
            EXPECT_EQ(impulse.size(), taps.size());
    }
}

} // namespace
