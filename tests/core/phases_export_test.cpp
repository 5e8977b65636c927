// A rate change's phases as the C, JSON and HDL formats write them: read back, they are the
// core's polyphase split with zeros at the ends of the shorter phases; run, the C's phases
// filter as the whole taps do before every M-th output is kept; and a plan's stages all come
// back from its one file.
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"
#include "core/formats/taps_reader.h"
#include "core/multirate/polyphase.h"
#include "shell_output.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace taplore;

const TapsDescription kDescription{"a test filter", {"a note"}, 48000};

// Taps of no symmetry, so that a phase taken from the wrong offset shows.
std::vector<double> Taps(int count, int seed = 0) {
    std::vector<double> taps(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        taps[k] = 0.9 * ((k * 53 + 7 + seed * 31) % 97) / 97.0 - 0.45;
    return taps;
}

std::string Export(std::string_view format, const std::vector<double>& taps,
                   std::optional<RateFactor> change, QFormat width = QFormat::q15) {
    return ExportText(*FindExportFormat(format), taps, kDescription, width, kDefaultBlockSize,
                      change);
}

// The core's split, each phase made as long as the longest with zeros.
template <typename T>
std::vector<std::vector<double>> Padded(const std::vector<T>& taps, int factor) {
    const std::vector<double> values(taps.begin(), taps.end());
    std::vector<std::vector<double>> phases = PolyphaseSplit(values, factor);
    for (auto& phase : phases)
        phase.resize(phases.front().size(), 0.0);
    return phases;
}

struct Layout {
    RateFactor change;
    int taps;
    int length, padding;
};

// A count the factor divides, counts one and several short, and fewer taps than phases.
const Layout kLayouts[] = {
    {{true, 3}, 10, 4, 2}, {{false, 4}, 12, 3, 0}, {{true, 5}, 3, 1, 2}, {{false, 2}, 7, 4, 1}};

TEST(PhasesJson, ThePhasesAreTheCoreSplitPaddedToOneLengthAndSaySo) {
    for (const Layout& c : kLayouts) {
        const std::vector<double> taps = Taps(c.taps);
        const nlohmann::json json = nlohmann::json::parse(Export("json", taps, c.change));
        EXPECT_EQ(json["change"], c.change.decimates ? "decimate" : "interpolate");
        EXPECT_EQ(json["factor"], c.change.factor);
        EXPECT_EQ(json["phase_count"], c.change.factor);
        EXPECT_EQ(json["phase_length"], c.length) << c.taps;
        EXPECT_EQ(json["zero_padding"], c.padding) << c.taps;
        EXPECT_EQ(json["taps"].get<std::vector<double>>(), taps);
        EXPECT_EQ(json["phases"].get<std::vector<std::vector<double>>>(),
                  Padded(taps, c.change.factor))
            << c.taps;
    }
}

TEST(PhasesJson, TheTapsStillReadBackFromAFileWithPhases) {
    const std::vector<double> taps = Taps(11);
    EXPECT_EQ(ReadTaps(Export("json", taps, RateFactor{true, 4})).taps, taps);
}

// The phases are added to what the format writes without a rate change, which stays whole:
// in front of them (C, Verilog), or in front of the package's or object's end.
TEST(PhasesText, TheSingleRateTextIsKeptAndThePhasesFollowIt) {
    const struct {
        const char* format;
        std::string end, layout;
    } cases[] = {
        {"c", "", "interpolation by 3: 3 phases of 3 taps"},
        {"verilog", "", "interpolation by 3: 3 phases of 3 taps"},
        {"vhdl", "end package fir_coefficients;\n", "interpolation by 3: 3 phases of 3 taps"},
        {"json", "\n}\n", "\"phase_length\": 3"}};
    const std::vector<double> taps = Taps(9);
    for (const auto& c : cases) {
        std::string single = Export(c.format, taps, std::nullopt);
        ASSERT_TRUE(single.ends_with(c.end)) << c.format;
        single.resize(single.size() - c.end.size());
        const std::string changed = Export(c.format, taps, RateFactor{false, 3});
        EXPECT_TRUE(changed.starts_with(single)) << c.format;
        EXPECT_TRUE(changed.ends_with(c.end)) << c.format;
        EXPECT_NE(changed.find(c.layout), std::string::npos) << c.format;
    }
}

// A plan of three stages of different lengths and factors, as the command line hands it over.
struct Plan {
    std::vector<std::vector<double>> taps{Taps(7, 1), Taps(20, 2), Taps(5, 3)};
    std::vector<FixedPointTaps> quantised;
    std::vector<ExportStage> stages;

    explicit Plan(bool decimates, std::optional<QFormat> width = std::nullopt) {
        const int factors[] = {2, 4, 3};
        const double rates[] = {48000, 24000, 6000};
        quantised.reserve(taps.size());
        for (std::size_t i = 0; i < taps.size(); ++i) {
            if (width)
                quantised.push_back(
                    Quantise(taps[i].data(), static_cast<int>(taps[i].size()), *width));
            stages.push_back({taps[i], width ? &quantised.back() : nullptr,
                              RateFactor{decimates, factors[i]}, rates[i]});
        }
    }

    std::string Write(std::string_view format) const {
        return FindExportFormat(format)->writeCascade({kDescription, stages});
    }
};

TEST(PhasesJson, APlanCarriesEveryStageWithItsFactorRateTapsAndPhases) {
    const Plan plan(true);
    const nlohmann::json json = nlohmann::json::parse(plan.Write("json"));
    EXPECT_EQ(json["design"], kDescription.title);
    ASSERT_EQ(json["stage_count"], 3);
    ASSERT_EQ(json["stages"].size(), 3u);
    for (std::size_t i = 0; i < plan.stages.size(); ++i) {
        const nlohmann::json& stage = json["stages"][i];
        EXPECT_EQ(stage["stage"], i + 1);
        EXPECT_EQ(stage["factor"], plan.stages[i].change.factor);
        EXPECT_EQ(stage["rate"], plan.stages[i].rate);
        EXPECT_EQ(stage["taps"].get<std::vector<double>>(), plan.taps[i]);
        EXPECT_EQ(stage["phases"].get<std::vector<std::vector<double>>>(),
                  Padded(plan.taps[i], plan.stages[i].change.factor));
    }
}

// The formats that write one filter a file have no plan writer: the command line writes them a
// file a stage.
// The one-number-a-line formats and the single-rate CMSIS ones write a file a stage.
TEST(PhasesText, OnlyTheCJsonAndHdlFormatsHoldAPlan) {
    std::vector<std::string_view> holding;
    for (const ExportFormat& format : ExportFormats())
        if (format.writeCascade)
            holding.push_back(format.name);
    EXPECT_EQ(holding, (std::vector<std::string_view>{
                           "c", "c-q15", "c-q31", "cmsis-decimate-q15", "cmsis-decimate-q31",
                           "cmsis-decimate-f32", "cmsis-interpolate-q15", "cmsis-interpolate-q31",
                           "cmsis-interpolate-f32", "vhdl", "verilog", "json"}));
}

class CompiledPhases : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    void Save(const std::string& name, const std::string& text) const {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }

    std::string Shell(const std::string& command) const {
        return ShellOutput("cd " + m_dir.string() + " && " + command + " 2>&1");
    }

    static std::vector<double> Numbers(const std::string& text) {
        std::vector<double> numbers;
        std::istringstream in(text);
        for (double v; in >> v;)
            numbers.push_back(v);
        return numbers;
    }

    // The C compiled on its own with warnings as errors, then run through main's body.
    std::vector<double> RunC(const std::string& exported, const std::string& body) const {
        Save("taps.c", exported);
        Save("run.c", std::string(kLoops) + "int main(void) {\n" + body + "    return 0;\n}\n");
        const std::string cc = "cc -std=c99 -Wall -Werror ";
        EXPECT_EQ(Shell(cc + "-c taps.c -o taps.o"), "");
        Shell(cc + "-Wno-unused run.c -o run");
        return Numbers(Shell("./run"));
    }

    // Plain polyphase loops over a [count][length] array of phases: a decimator's output n sums
    // phase p against inputs nM - p - kM; an interpolator's output nL + p is phase p against
    // inputs n - k. Each returns the count of its outputs.
    static constexpr const char* kLoops = R"(#include <stdio.h>
#include "taps.c"
static double input[4096], first[4096], second[4096];
static int decimate(const double* phases, int m, int length, const double* x, int n, double* y) {
    int outputs = 0;
    for (int o = 0; o * m < n; ++o, ++outputs) {
        double sum = 0;
        for (int p = 0; p < m; ++p)
            for (int k = 0; k < length; ++k)
                if (o * m - p - k * m >= 0)
                    sum += phases[p * length + k] * x[o * m - p - k * m];
        y[o] = sum;
    }
    return outputs;
}
static int interpolate(const double* phases, int l, int length, const double* x, int n,
                       double* y) {
    for (int i = 0; i < n; ++i)
        for (int p = 0; p < l; ++p) {
            double sum = 0;
            for (int k = 0; k < length && k <= i; ++k)
                sum += phases[p * length + k] * x[i - k];
            y[i * l + p] = sum;
        }
    return n * l;
}
static void print(const double* y, int n) {
    for (int i = 0; i < n; ++i)
        printf("%.17g\n", y[i]);
}
static void fill(int n) {
    for (int i = 0; i < n; ++i)
        input[i] = (i * 37 + 11) % 201 - 100;
}
)";

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_phases_" + std::to_string(getpid()));
};

std::vector<double> Input(int count) {
    std::vector<double> x(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n)
        x[n] = (n * 37 + 11) % 201 - 100;
    return x;
}

// Filtering with the whole taps, then keeping every M-th output; or filtering the input with
// L - 1 zeros after each sample.
std::vector<double> Direct(const std::vector<double>& h, const std::vector<double>& x,
                           const RateFactor& change) {
    const int factor = change.factor;
    const int high =
        change.decimates ? static_cast<int>(x.size()) : static_cast<int>(x.size()) * factor;
    std::vector<double> y;
    for (int m = 0; m < high; m += change.decimates ? factor : 1) {
        double sum = 0;
        for (int k = 0; k < static_cast<int>(h.size()) && k <= m; ++k)
            if (change.decimates)
                sum += h[k] * x[m - k];
            else if ((m - k) % factor == 0)
                sum += h[k] * x[(m - k) / factor];
        y.push_back(sum);
    }
    return y;
}

// Within a rounding or so of each product: the loops add in another order.
void ExpectNear(const std::vector<double>& got, const std::vector<double>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t n = 0; n < got.size(); ++n)
        ASSERT_NEAR(got[n], expected[n], 1e-12 * (1 + std::abs(expected[n]))) << n;
}

TEST_F(CompiledPhases, ALoopOverTheWrittenPhasesFiltersAsTheWholeTaps) {
    constexpr int kInputs = 60;
    for (const Layout& c : kLayouts) {
        const std::vector<double> taps = Taps(c.taps);
        const std::string loop = c.change.decimates ? "decimate" : "interpolate";
        const std::string factor =
            c.change.decimates ? "FIR_DECIMATION_FACTOR" : "FIR_INTERPOLATION_FACTOR";
        const std::vector<double> got =
            RunC(Export("c", taps, c.change),
                 "    fill(" + std::to_string(kInputs) + ");\n    print(first, " + loop +
                     "(&fir_phases[0][0], " + factor + ", FIR_PHASE_LENGTH, input, " +
                     std::to_string(kInputs) + ", first));\n");
        ExpectNear(got, Direct(taps, Input(kInputs), c.change));
    }
}

TEST_F(CompiledPhases, APlansStagesRunOneAfterAnotherAsTheCascade) {
    constexpr int kInputs = 240;
    const Plan plan(true);
    const std::vector<double> got =
        RunC(plan.Write("c"),
             "    fill(240);\n"
             "    int n = decimate(&stage1_fir_phases[0][0], STAGE1_FIR_DECIMATION_FACTOR, "
             "STAGE1_FIR_PHASE_LENGTH, input, 240, first);\n"
             "    n = decimate(&stage2_fir_phases[0][0], STAGE2_FIR_DECIMATION_FACTOR, "
             "STAGE2_FIR_PHASE_LENGTH, first, n, second);\n"
             "    n = decimate(&stage3_fir_phases[0][0], STAGE3_FIR_DECIMATION_FACTOR, "
             "STAGE3_FIR_PHASE_LENGTH, second, n, first);\n"
             "    print(first, n);\n"
             "    printf(\"%d %.17g %.17g\\n\", FIR_STAGE_COUNT, STAGE2_FIR_RATE, "
             "stage3_fir_coefficients[4]);\n");
    std::vector<double> expected = Input(kInputs);
    for (const ExportStage& stage : plan.stages)
        expected = Direct({stage.taps.begin(), stage.taps.end()}, expected, stage.change);
    expected.insert(expected.end(), {3, 24000, plan.taps[2][4]});
    ExpectNear(got, expected);
}

// Each phase's values printed by a bench the HDL tools build against the package or header.
TEST_F(CompiledPhases, GhdlAndIverilogReadThePhasesOfAPlanBack) {
    const Plan plan(false, QFormat{18, 17});
    std::vector<double> expected;
    std::string vhdl, verilog;
    for (std::size_t i = 0; i < plan.stages.size(); ++i) {
        const auto phases = Padded(plan.quantised[i].values, plan.stages[i].change.factor);
        for (std::size_t p = 0; p < phases.size(); ++p) {
            expected.insert(expected.end(), phases[p].begin(), phases[p].end());
            const std::string stage = std::to_string(i + 1), phase = std::to_string(p);
            vhdl += "        for k in 0 to STAGE" + stage +
                    "_FIR_PHASE_LENGTH - 1 loop\n            write(text, integer'image("
                    "to_integer(STAGE" +
                    stage + "_FIR_PHASE_" + phase +
                    "(k))));\n            writeline(output, text);\n        end loop;\n";
            verilog += "    for (k = 0; k < STAGE" + stage + "_FIR_PHASE_LENGTH; k = k + 1)\n" +
                       "        $display(\"%0d\", stage" + stage + "_fir_phase_" + phase +
                       "(k));\n";
        }
    }
    Save("plan.vhd", plan.Write("vhdl"));
    Save("bench.vhd", "library ieee;\nuse ieee.numeric_std.all;\nuse std.textio.all;\n"
                      "use work.fir_coefficients.all;\nentity bench is\nend entity bench;\n"
                      "architecture sim of bench is\nbegin\n    process\n"
                      "        variable text : line;\n    begin\n" +
                          vhdl + "        wait;\n    end process;\nend architecture sim;\n");
    Shell("ghdl -a --std=08 plan.vhd bench.vhd && ghdl -e --std=08 bench");
    EXPECT_EQ(Numbers(Shell("ghdl -r --std=08 bench")), expected);
    Save("plan.vh", plan.Write("verilog"));
    Save("bench.v", "module bench;\n`include \"plan.vh\"\ninteger k;\ninitial begin\n" + verilog +
                        "end\nendmodule\n");
    EXPECT_EQ(Shell("iverilog -g2005 -Wall -o bench bench.v"), "");
    EXPECT_EQ(Numbers(Shell("vvp -n bench")), expected);
}

} // namespace
