// The Verilog filter run in iverilog against the bit-true model: every output sample of a chirp
// and of noise, at widths that overflow, wrapping and saturating, for symmetric, antisymmetric
// and plain taps, must be the model's.
#include "core/fixed/stimulus.h"
#include "core/formats/exports/verilog_fir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace taplore;
namespace fs = std::filesystem;

bool HaveIverilog() {
    return std::system("iverilog -V >/dev/null 2>&1") == 0 &&
           std::system("vvp -V >/dev/null 2>&1") == 0;
}

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

struct HdlCase {
    const char* name;
    std::vector<std::int32_t> taps;
    int tapBits;
    BitTrueFormats formats;
    Signal signal;
    int samples;
};

// A 12-bit input into 16-bit taps summing to about 1.6: a full-scale chirp overflows a 14-bit
// output and a 26-bit accumulator.
const std::vector<std::int32_t> kSymmetric{-310, 0,    1290, 2900, 5100, 7600, 9800, 11000,
                                           9800, 7600, 5100, 2900, 1290, 0,    -310};
const std::vector<std::int32_t> kAntisymmetric{-900,  -2400, -6000, -14000, 0,
                                               14000, 6000,  2400,  900};
const std::vector<std::int32_t> kPlain{32767, -32768, 20000, 12000, -5000, 3000, -1000};

BitTrueFormats Formats(int accBits, int outBits, int outFraction, Overflow overflow,
                       Rounding rounding) {
    return {{12, 11}, 15, accBits, {outBits, outFraction}, overflow, rounding};
}

std::vector<HdlCase> Cases() {
    const Signal chirp{SignalKind::chirp}, noise{SignalKind::noise, 7};
    return {
        {"symmetric chirp, wrap, nearest", kSymmetric, 16,
         Formats(40, 10, 9, Overflow::wrap, Rounding::nearest), chirp, 600},
        {"symmetric chirp, saturate, convergent", kSymmetric, 16,
         Formats(26, 10, 9, Overflow::saturate, Rounding::convergent), chirp, 600},
        {"symmetric noise, wrap at the accumulator, floor", kSymmetric, 16,
         Formats(25, 12, 11, Overflow::wrap, Rounding::floor), noise, 800},
        {"antisymmetric noise, saturate, zero", kAntisymmetric, 16,
         Formats(27, 9, 8, Overflow::saturate, Rounding::zero), noise, 800},
        {"plain noise, saturate, nearest", kPlain, 16,
         Formats(28, 8, 7, Overflow::saturate, Rounding::nearest), noise, 800},
        {"plain chirp, wrap, convergent, output wider than the accumulator", kPlain, 16,
         Formats(28, 30, 28, Overflow::wrap, Rounding::convergent), chirp, 500},
    };
}

TEST(VerilogFir, EveryOutputIsTheModels) {
    if (!HaveIverilog())
        GTEST_SKIP() << "iverilog is not installed";
    const fs::path dir =
        fs::temp_directory_path() / ("taplore_verilog_" + std::to_string(getpid()));
    for (const HdlCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        fs::create_directories(dir);
        const FixedPointTaps taps{QFormat{c.tapBits, c.tapBits - 1}, c.taps, 0};
        const std::vector<std::int64_t> input = Generate(c.signal, c.samples, c.formats.input);
        const BitTrueRun model = RunBitTrue(c.formats, c.taps, input);
        ASSERT_GT(model.accumulatorOverflows + model.outputOverflows, 0) << "no overflow tested";
        WriteFile(dir / "fir.v", WriteVerilogFir(taps, c.formats));
        WriteFile(dir / "tb.v", WriteVerilogTestbench(c.formats));
        WriteFile(dir / "stimulus.txt", Lines(input));
        WriteFile(dir / "expected.txt", Lines(model.output));
        const std::string cd = "cd '" + dir.string() + "' && ";
        const std::string build = Output(cd + "iverilog -g2005 -o fir.vvp fir.v tb.v 2>&1");
        ASSERT_EQ(build, "");
        const std::string report = Output(cd + "vvp -n fir.vvp 2>&1");
        EXPECT_NE(report.find(std::to_string(c.samples) + " samples compared, 0 differences"),
                  std::string::npos)
            << report;
        fs::remove_all(dir);
    }
}

} // namespace
