// The VHDL filter run in ghdl and the Verilog one in iverilog against the bit-true model: every
// output sample of a chirp and of noise, at widths that overflow, wrapping and saturating, for
// symmetric, antisymmetric and plain taps, must be the model's.
#include "core/fixed/stimulus.h"
#include "core/formats/exports/hdl_fir.h"
#include "core/formats/exports/verilog_fir.h"
#include "core/formats/exports/vhdl_fir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace taplore;
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Lines(const std::vector<std::int64_t>& values) {
    std::string text;
    for (std::int64_t value : values)
        text += std::to_string(value) + "\n";
    return text;
}

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

// A language's filter and test bench, and the simulator that runs them.
struct Simulator {
    const char* name;
    const char* installed; // a command that succeeds when the simulator is installed
    std::string (*filter)(const FixedPointTaps&, const BitTrueFormats&);
    std::string (*bench)(const FixedPointTaps&, const BitTrueFormats&);
    const char* filterFile;
    const char* benchFile;
    const char* build; // prints nothing when the files compile (and the filter synthesizes)
    const char* run;
};

const Simulator kIverilog{"iverilog",
                          "iverilog -V >/dev/null 2>&1 && vvp -V >/dev/null 2>&1",
                          WriteVerilogFir,
                          WriteVerilogTestbench,
                          "fir.v",
                          "tb.v",
                          "iverilog -g2005 -o fir.vvp fir.v tb.v 2>&1",
                          "vvp -n fir.vvp 2>&1"};

const Simulator kGhdl{
    "ghdl",
    "ghdl --version >/dev/null 2>&1",
    WriteVhdlFir,
    WriteVhdlTestbench,
    "fir.vhd",
    "tb.vhd",
    "ghdl --synth --std=08 fir.vhd -e taplore_fir 2>&1 >/dev/null && "
    "ghdl -a --std=08 fir.vhd tb.vhd 2>&1 && ghdl -e --std=08 taplore_fir_tb 2>&1",
    "ghdl -r --std=08 taplore_fir_tb 2>&1"};

struct HdlCase {
    const char* name;
    std::vector<std::int32_t> taps;
    BitTrueFormats formats;
    Signal signal;
    int samples;
};

// 16-bit taps summing to about 1.6: a full-scale chirp of 12 bits overflows a 14-bit output
// and a 26-bit accumulator.
const std::vector<std::int32_t> kSymmetric{-310, 0,    1290, 2900, 5100, 7600, 9800, 11000,
                                           9800, 7600, 5100, 2900, 1290, 0,    -310};
const std::vector<std::int32_t> kAntisymmetric{-900,  -2400, -6000, -14000, 0,
                                               14000, 6000,  2400,  900};
const std::vector<std::int32_t> kPlain{32767, -32768, 20000, 12000, -5000, 3000, -1000};
// One multiplier, and no tree to sum it.
const std::vector<std::int32_t> kPair{30000, 30000};

BitTrueFormats Formats(SampleFormat input, int accBits, SampleFormat output, Overflow overflow,
                       Rounding rounding) {
    return {input, 15, accBits, output, overflow, rounding};
}

std::vector<HdlCase> Cases() {
    const Signal chirp{SignalKind::chirp}, noise{SignalKind::noise, 7};
    const SampleFormat in12{12, 11};
    return {
        {"symmetric chirp, wrap, nearest", kSymmetric,
         Formats(in12, 40, {10, 9}, Overflow::wrap, Rounding::nearest), chirp, 600},
        {"symmetric chirp, saturate, convergent", kSymmetric,
         Formats(in12, 26, {10, 9}, Overflow::saturate, Rounding::convergent), chirp, 600},
        {"symmetric noise, wrap at the accumulator, floor", kSymmetric,
         Formats(in12, 25, {12, 11}, Overflow::wrap, Rounding::floor), noise, 800},
        {"antisymmetric noise, saturate, zero", kAntisymmetric,
         Formats(in12, 27, {9, 8}, Overflow::saturate, Rounding::zero), noise, 800},
        {"plain noise, saturate, nearest", kPlain,
         Formats(in12, 28, {8, 7}, Overflow::saturate, Rounding::nearest), noise, 800},
        {"plain chirp, wrap, convergent, output wider than the accumulator", kPlain,
         Formats(in12, 28, {30, 28}, Overflow::wrap, Rounding::convergent), chirp, 500},
        {"one multiplier, chirp, saturate, floor", kPair,
         Formats(in12, 24, {10, 9}, Overflow::saturate, Rounding::floor), chirp, 300},
        {"plain noise of 40 bits, wrap at the accumulator, nearest", kPlain,
         Formats({40, 39}, 56, {48, 45}, Overflow::wrap, Rounding::nearest), noise, 400},
        {"plain noise of 64 bits, saturate, convergent", kPlain,
         Formats({64, 63}, 80, {64, 62}, Overflow::saturate, Rounding::convergent), noise, 400},
    };
}

bool Installed(const Simulator& simulator) {
    return std::system(simulator.installed) == 0;
}

// The test bench's report of the filter of c on input, compared with expected.
std::string BenchReport(const Simulator& simulator, const HdlCase& c,
                        const std::vector<std::int64_t>& input,
                        const std::vector<std::int64_t>& expected) {
    const fs::path dir = fs::temp_directory_path() / ("taplore_" + std::string(simulator.name) +
                                                      "_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const FixedPointTaps taps{QFormat{16, 15}, c.taps, 0};
    WriteFile(dir / simulator.filterFile, simulator.filter(taps, c.formats));
    WriteFile(dir / simulator.benchFile, simulator.bench(taps, c.formats));
    WriteFile(dir / "stimulus.txt", Lines(input));
    WriteFile(dir / "expected.txt", Lines(expected));
    const std::string cd = "cd '" + dir.string() + "' && ";
    const std::string build = Output(cd + simulator.build);
    const std::string report = build.empty() ? Output(cd + simulator.run) : build;
    fs::remove_all(dir);
    return report;
}

void ExpectEveryOutputIsTheModels(const Simulator& simulator) {
    if (!Installed(simulator))
        GTEST_SKIP() << simulator.name << " is not installed";
    for (const HdlCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::vector<std::int64_t> input = Generate(c.signal, c.samples, c.formats.input);
        const BitTrueRun model = RunBitTrue(c.formats, c.taps, input);
        ASSERT_GT(model.accumulatorOverflows + model.outputOverflows, 0) << "no overflow tested";
        const std::string report = BenchReport(simulator, c, input, model.output);
        EXPECT_NE(report.find(std::to_string(c.samples) + " samples compared, 0 differences"),
                  std::string::npos)
            << report;
    }
}

TEST(HdlFir, IverilogGivesEveryOutputOfTheModel) {
    ExpectEveryOutputIsTheModels(kIverilog);
}

TEST(HdlFir, GhdlGivesEveryOutputOfTheModel) {
    ExpectEveryOutputIsTheModels(kGhdl);
}

// Expected outputs off by one from sample 100 on: each test bench names the first and counts
// them all.
TEST(HdlFir, TheTestBenchesReportTheFirstDifferenceAndCountThem) {
    const HdlCase c = Cases().front();
    const std::vector<std::int64_t> input = Generate(c.signal, c.samples, c.formats.input);
    std::vector<std::int64_t> expected = RunBitTrue(c.formats, c.taps, input).output;
    const std::string first = "first difference at sample 100: " + std::to_string(expected[100]) +
                              ", expected " + std::to_string(expected[100] + 1) + "\n";
    for (std::size_t n = 100; n < expected.size(); ++n)
        ++expected[n];
    if (!Installed(kIverilog) && !Installed(kGhdl))
        GTEST_SKIP() << "neither iverilog nor ghdl is installed";
    for (const Simulator& simulator : {kIverilog, kGhdl}) {
        if (!Installed(simulator))
            continue;
        const std::string report = BenchReport(simulator, c, input, expected);
        EXPECT_NE(report.find(first), std::string::npos) << simulator.name << report;
        EXPECT_NE(report.find(std::to_string(c.samples) + " samples compared, " +
                              std::to_string(c.samples - 100) + " differences"),
                  std::string::npos)
            << simulator.name << report;
    }
}

// The adder tree takes ceil(log2 multipliers) levels; the pre-add, the products and the output
// a clock each.
TEST(HdlFir, TheLatencyGrowsWithTheTreeOfMultipliers) {
    const struct {
        std::vector<std::int32_t> taps;
        int multipliers, levels, latency;
    } cases[] = {
        {{5}, 1, 0, 3},
        {kPair, 1, 0, 3},
        {{1, 2, 1}, 2, 1, 4},
        {{1, 2, 3}, 3, 2, 5},
        {kAntisymmetric, 5, 3, 6},
        {kSymmetric, 8, 3, 6},
        {std::vector<std::int32_t>(17, 1), 9, 4, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FirMultipliers(c.taps), c.multipliers) << c.taps.size();
        EXPECT_EQ(FirTreeLevels(c.taps), c.levels) << c.taps.size();
        EXPECT_EQ(FirLatency(c.taps), c.latency) << c.taps.size();
    }
}

} // namespace
