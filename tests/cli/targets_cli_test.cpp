// taplore-design's views, export formats and taps read back, run as a user runs them and
// compared with what the core computes and writes for the same design.
#include "cli/run_design.h"
#include "core/analysis/views.h"
#include "core/design/fir_design.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_description.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace taplore;

const std::string kStartUp = " --order 511 --rate 8000 --low 400 --high 2400";

std::vector<double> Design(int order) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_GT(DesignFilter(coef, count, order, 0.1, 0.6), 0);
    return {coef.get(), coef.get() + count};
}

class Targets : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    Outcome Run(const std::string& words) const { return RunDesign(words, "", m_dir / "err"); }

    fs::path Save(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return m_dir / name;
    }

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_targets_" + std::to_string(getpid()));
};

// Every format of the table, through the command line's dispatch, is the core's writer's text
// for the same design, in the width each takes.
TEST_F(Targets, EveryFormatIsTheTablesWriterForTheDesign) {
    const std::vector<double> taps = Design(511);
    const TapsDescription description = DescribeRequest({511, 8000, 400, 2400});
    for (const ExportFormat& format : ExportFormats()) {
        if (format.takesRateChange) // refused without a rate change
            continue;
        std::optional<FixedPointTaps> q;
        if (const auto width = ExportQFormat(format, QFormat::q15))
            q = Quantise(taps.data(), 511, *width);
        const Outcome o = Run(kStartUp + " --format " + std::string(format.name));
        EXPECT_EQ(o.status, 0) << format.name << o.err;
        EXPECT_EQ(o.out, format.write({taps, q ? &*q : nullptr, description})) << format.name;
    }
    // A width after the colon or through --bits, and a block size, reach the writer.
    const FixedPointTaps q18 = Quantise(taps.data(), 511, {18, 17});
    const std::string coe = FindExportFormat("coe")->write({taps, &q18, description});
    EXPECT_EQ(Run(kStartUp + " --format coe:18").out, coe);
    EXPECT_EQ(Run(kStartUp + " --format coe --bits 18.17").out, coe);
    EXPECT_EQ(Lines(Run(kStartUp + " --format q:18").out).front(), std::to_string(q18.values[0]));
    EXPECT_NE(
        Run(kStartUp + " --format cmsis-f32 --block 64").out.find("#define FIR_BLOCK_SIZE 64"),
        std::string::npos);
}

// The views of a design too long for the dialog's spectrum, on a grid of --points.
TEST_F(Targets, ViewsAreTheCoresColumnsForAnyOrder) {
    const std::vector<double> taps = Design(4095);
    const FrequencyGrid grid(1000);
    const ResponseViews views = ComputeViews(taps, grid);
    const Outcome o = Run(" --order 4095 --rate 8000 --low 400 --high 2400 --points 1000 "
                          "--view group-delay --view magnitude --view step");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 1 + 1000 + 2 + 1 + 4095u);
    EXPECT_EQ(lines[0], "# Hz\tgroup-delay (samples)\tmagnitude (dB)");
    EXPECT_EQ(lines[1001], "");
    EXPECT_EQ(lines[1003], "# n\tstep");
    for (const int k : {0, 1, 333, 999}) {
        double hz = 0, delay = 0, db = 0;
        std::istringstream(lines[1 + k]) >> hz >> delay >> db;
        EXPECT_EQ(hz, grid.Hz(k, 8000));
        EXPECT_EQ(delay, 2047);
        EXPECT_EQ(db, views.frequency.magnitudeDb[k]) << k;
    }
    double n = 0, step = 0;
    std::istringstream(lines.back()) >> n >> step;
    EXPECT_EQ(n, 4094);
    EXPECT_EQ(step, views.step.back());
}

TEST_F(Targets, PlottedViewsAreStackedPanelsOfOneImage) {
    const fs::path svg = m_dir / "views.svg";
    const Outcome o =
        Run(kStartUp + " --view magnitude --view phase --view impulse --plot " + svg.string());
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "") << "the image alone, as for --plot without --view";
    const std::string image = ReadAll(svg);
    for (const char* caption :
         {">Magnitude (dB) against frequency (Hz)<", ">Phase (degrees) against frequency (Hz)<",
          ">Impulse response against time (samples)<"})
        EXPECT_NE(image.find(caption), std::string::npos) << caption;
    EXPECT_EQ(std::system(("xmllint --noout " + svg.string()).c_str()), 0);
}

// Full precision and JSON come back bit for bit, also through standard input; JSON keeps the
// design's description and rate, so the same JSON comes out again.
TEST_F(Targets, TapsReadBackAreWrittenAgainAsTheyWere) {
    const std::string full = Run(kStartUp + " --format full").out;
    const fs::path fullFile = Save("taps.full", full);
    EXPECT_EQ(Run(" --taps-from " + fullFile.string() + " --format full").out, full);
    const std::string json = Run(kStartUp + " --format json").out;
    EXPECT_EQ(Run(" --taps-from - --format json < " + Save("taps.json", json).string()).out, json);
    const std::string q15 = Run(kStartUp + " --format q15").out;
    EXPECT_EQ(
        Run(" --taps-from " + Save("taps.q15", q15).string() + " --taps-bits 16 --format q15").out,
        q15);
    // Without a design of its own the text names the file; the views take --rate.
    const Outcome c = Run(" --taps-from " + fullFile.string() + " --format c");
    EXPECT_TRUE(c.out.starts_with("/* 511 taps read from " + fullFile.string() + " */")) << c.out;
    const auto lines = Lines(
        Run(" --taps-from " + fullFile.string() + " --rate 48000 --points 4 --view magnitude").out);
    EXPECT_EQ(lines.at(2).substr(0, lines.at(2).find('\t')), "6000");
}

TEST_F(Targets, BadFilesAndTargetsThatCannotTakeTheTapsFailWithTheirMessage) {
    const fs::path bad = Save("bad.txt", "0.1\n0.2\n0.3\n0.4\n0.5\n0.6\n0.1x\n");
    const std::pair<std::string, std::string> failures[] = {
        {" --taps-from " + bad.string(), bad.string() + ": line 7: \"0.1x\" is not a number"},
        {" --taps-from " + (m_dir / "none").string(),
         (m_dir / "none").string() + " was not found."},
        {" --taps-from - < /dev/null", "standard input: no taps: the file holds no number"},
        {" --order 65535 --rate 8000 --low 400 --high 2400 --format cmsis-q15",
         "CMSIS-DSP's FIR filters take at most 65535 taps, not 65536."},
    };
    for (const auto& [words, message] : failures) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 1) << words;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

// The simulation's widths and modes reach the HDL filters as their defaults.
TEST_F(Targets, TheHdlFiltersTakeTheSimulationsArithmetic) {
    const std::string arithmetic = " --input-bits 12 --acc-bits 26 --output-bits 10.9 "
                                   "--overflow saturate --rounding convergent";
    const std::pair<const char*, std::vector<std::string>> defaults[] = {
        {"vhdl-fir",
         {"IN_BITS : positive := 12;", "OUT_BITS : positive := 10;", "ACC_BITS : positive := 26;",
          "SHIFT : integer := 17;", "SATURATE : boolean := true;",
          "ROUNDING : natural range 0 to 3 := 3"}},
        {"vhdl-testbench",
         {"constant IN_BITS : positive := 12;", "constant OUT_BITS : positive := 10;"}},
        {"verilog-fir",
         {"parameter integer IN_BITS = 12,", "parameter integer ACC_BITS = 26,",
          "parameter integer SHIFT = 17,", "parameter integer SATURATE = 1,",
          "parameter integer ROUNDING = 3"}},
    };
    for (const auto& [format, lines] : defaults) {
        const Outcome o = Run(kStartUp + " --format " + format + arithmetic);
        EXPECT_EQ(o.status, 0) << format << o.err;
        for (const std::string& line : lines)
            EXPECT_NE(o.out.find(line), std::string::npos) << format << ": " << line;
    }
}

TEST_F(Targets, OptionsThatDoNotBelongTogetherAreRefused) {
    const std::pair<std::string, std::string> refused[] = {
        {kStartUp + " --format json --bits 18",
         "--bits: must be given with a format whose width is chosen (q, coe, mif, vhdl, "
         "verilog, verilog-fir, verilog-testbench, vhdl-fir, vhdl-testbench), not \"18\""},
        {kStartUp + " --format verilog-fir --samples 10",
         "--samples: must be given with --simulate, not \"10\""},
        {kStartUp + " --format vhdl-testbench --simulate-output out.wav",
         "--simulate-output: must be given with --simulate, not \"out.wav\""},
        {kStartUp + " --format coe:18 --bits 18",
         "--bits: must be left out when --format names the width, not \"18\""},
        {kStartUp + " --format coe --block 8",
         "--block: must be given with a CMSIS format (cmsis-q15, cmsis-q31, cmsis-f32, "
         "cmsis-decimate-q15, cmsis-decimate-q31, cmsis-decimate-f32, cmsis-interpolate-q15, "
         "cmsis-interpolate-q31, cmsis-interpolate-f32), not \"8\""},
        {kStartUp + " --format cmsis-q15 --block 0",
         "--block: must be a whole number from 1 to 1048576, not \"0\""},
        {kStartUp + " --format q:33",
         "--format: must be text, full, c, q15, q31, c-q15, c-q31, q[:B[.F]], cmsis-q15, "
         "cmsis-q31, cmsis-f32, cmsis-decimate-q15, cmsis-decimate-q31, cmsis-decimate-f32, "
         "cmsis-interpolate-q15, cmsis-interpolate-q31, cmsis-interpolate-f32, coe[:B[.F]], "
         "mif[:B[.F]], vhdl[:B[.F]], verilog[:B[.F]], verilog-fir[:B[.F]], "
         "verilog-testbench[:B[.F]], vhdl-fir[:B[.F]], vhdl-testbench[:B[.F]], csv or json, not "
         "\"q:33\""},
        {kStartUp + " --format q --bits 1.0",
         "--bits: must be B or B.F: B bits from 2 to 32, F fraction bits from 0 to 62 (B - 1 "
         "when left out), not \"1.0\""},
        {kStartUp + " --view bode",
         "--view: must be magnitude, phase, group-delay, impulse, step or zeros, not \"bode\""},
        {kStartUp + " --view phase --points 0",
         "--points: must be a whole number from 1 to 33554432, not \"0\""},
        {kStartUp + " --view phase --response",
         "--response: must be left out with --view, which chooses the views written instead"},
        {kStartUp + " --response --format csv",
         "--response: must be alone or with a format that has a width (such as q15 or coe) as "
         "--format, not \"csv\""},
        {kStartUp + " --taps-bits 16",
         "--taps-bits: must be given with --taps-from, which reads the integers, not \"16\""},
        {" --taps-from x --low 400",
         "--low: must be left out with --taps-from, which reads the taps instead of designing "
         "them"},
    };
    for (const auto& [words, message] : refused) {
        const Outcome o = Run(words);
        EXPECT_EQ(o.status, 2) << words;
        EXPECT_EQ(o.err, "taplore-design: " + message + "\n") << words;
    }
}

} // namespace
