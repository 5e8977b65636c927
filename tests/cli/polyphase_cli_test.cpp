// The decimator's and interpolator's formats run as a user runs them: each stage's factor
// reaches its file, a plan goes into one file where the format holds one, and the options the
// formats cannot take are refused by name.
#include "cli/run_design.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kSmall = " --rate 48000 --pass 0:2000 --ripple 0.1 --atten 60 --quiet";

class Polyphase : public DesignRunTest {
protected:
    Polyphase() : DesignRunTest("taplore_polyphase_") {}
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The C formats write a plan in one file, each stage under names of its own; the
// one-number-a-line formats a file a stage.
TEST_F(Polyphase, APlanIsOneCFileWithEachStageUnderItsOwnNames) {
    for (const char* format : {"cmsis-decimate-q31", "c-q15"}) {
        SCOPED_TRACE(format);
        const std::string base = (m_dir / (std::string(format) + ".c")).string();
        const Outcome o = Run(" --decimate 8 --stages 2x4 --format " + std::string(format) +
                              " -o " + base + kSmall);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_FALSE(std::filesystem::exists(m_dir / (std::string(format) + ".stage1.c")));
        const std::string text = ReadAll(base);
        EXPECT_TRUE(Has(text, "#define FIR_STAGE_COUNT 2\n")) << text;
        EXPECT_TRUE(Has(text, "// stage 2 of 2: decimation by 4 at ")) << text;
        EXPECT_TRUE(Has(text, " stage2_fir_coefficients[")) << text;
    }
    const std::string cmsis = ReadAll(m_dir / "cmsis-decimate-q31.c");
    EXPECT_TRUE(Has(cmsis, "#define STAGE1_FIR_DECIMATION_FACTOR 2\n")) << cmsis;
    EXPECT_TRUE(Has(cmsis, "#define STAGE2_FIR_DECIMATION_FACTOR 4\n")) << cmsis;
    EXPECT_TRUE(Has(cmsis, "arm_fir_decimate_instance_q31 stage2_fir_instance = "
                           "{STAGE2_FIR_DECIMATION_FACTOR, STAGE2_FIR_NUM_TAPS, "
                           "stage2_fir_coefficients, stage2_fir_state};"))
        << cmsis;
    const Outcome lines =
        Run(" --decimate 8 --stages 2x4 --format q15 -o " + (m_dir / "taps.txt").string() + kSmall);
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_TRUE(std::filesystem::exists(m_dir / "taps.stage2.txt"));
}

TEST_F(Polyphase, AnInterpolatorIsPaddedToAMultipleOfItsFactorAndSaysSo) {
    const Outcome o = Run(" --interpolate 5 --format cmsis-interpolate-q15" + kSmall);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(Has(o.out, "#define FIR_INTERPOLATION_FACTOR 5\n")) << o.out;
    EXPECT_TRUE(Has(o.out, "q15_t fir_state[FIR_PHASE_LENGTH + FIR_BLOCK_SIZE - 1];")) << o.out;
    // 27 taps for these requirements, 30 written.
    EXPECT_TRUE(Has(o.out, "#define FIR_NUM_TAPS 30\n#define FIR_PHASE_LENGTH 6\n")) << o.out;
    EXPECT_TRUE(Has(o.out, "// The filter ends in 3 added zero taps")) << o.out;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (double v; in >> v;)
        numbers.push_back(v);
    return numbers;
}

const std::string kPlan = " --decimate 8 --stages 2x4" + kSmall;

TEST_F(Polyphase, APlansJsonCarriesEveryStageAsDesigned) {
    const std::string full = (m_dir / "taps.txt").string();
    ASSERT_EQ(Run(kPlan + " --format full -o " + full).status, 0);
    const Outcome o = Run(kPlan + " --format json");
    ASSERT_EQ(o.status, 0) << o.err;
    const nlohmann::json json = nlohmann::json::parse(o.out);
    ASSERT_EQ(json["stages"].size(), 2u);
    const int factors[] = {2, 4};
    for (int i = 0; i < 2; ++i) {
        const nlohmann::json& stage = json["stages"][i];
        EXPECT_EQ(stage["factor"], factors[i]);
        EXPECT_EQ(stage["change"], "decimate");
        const std::string file = "taps.stage" + std::to_string(i + 1) + ".txt";
        EXPECT_EQ(stage["taps"].get<std::vector<double>>(), Numbers(ReadAll(m_dir / file)));
    }
}

TEST_F(Polyphase, APlanGoesIntoOneFileOfTheFormatsThatHoldOneAndSaysSo) {
    for (const std::string format : {"c", "vhdl", "verilog"}) {
        const std::filesystem::path path = m_dir / ("plan." + format);
        const Outcome o = Run(kPlan + " --format " + format + " -o " + path.string());
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "") << format; // --quiet
        EXPECT_NE(ReadAll(path).find("tage2_fir_phase"), std::string::npos) << format;
        EXPECT_FALSE(std::filesystem::exists(m_dir / ("plan.stage1." + format))) << format;
    }
    // The report's last line, for a file and for standard output.
    const std::string loud = " --decimate 8 --stages 2x4 --rate 48000 --pass 0:2000 --ripple 0.1 "
                             "--atten 60 --format c";
    const std::string path = (m_dir / "plan.c").string();
    EXPECT_TRUE(Run(loud + " -o " + path).err.ends_with("\nwrote the 2 stages to " + path + "\n"));
    EXPECT_TRUE(Run(loud).err.ends_with("\nwrote the 2 stages to standard output\n"));
}

// The compensator's FIR decimates by --decimate's factor, which its rate-change formats write.
TEST_F(Polyphase, ACicCompensatorsOwnDecimationReachesItsFormats) {
    const std::string cic = " --cic 4:16 --rate 100 --decimate 2 --pass 0:10 --ripple 0.1 "
                            "--atten 60 --quiet --format ";
    const Outcome cmsis = Run(cic + "cmsis-decimate-q15");
    ASSERT_EQ(cmsis.status, 0) << cmsis.err;
    EXPECT_TRUE(Has(cmsis.out, "#define FIR_DECIMATION_FACTOR 2\n")) << cmsis.out;
    const Outcome c = Run(cic + "c");
    EXPECT_TRUE(Has(c.out, "#define FIR_PHASE_COUNT 2\n#define FIR_PHASE_LENGTH 6\n")) << c.out;
}

TEST_F(Polyphase, FormatsAndBlocksThatDoNotFitTheRateChangeAreRefused) {
    const struct {
        std::string words, message;
    } cases[] = {
        {" --order 30 --rate 8000 --low 0 --high 1000 --format cmsis-decimate-q15",
         "--format: must be given with --decimate, not \"cmsis-decimate-q15\""},
        {" --decimate 4 --format cmsis-interpolate-f32" + kSmall,
         "--format: must be given with --interpolate, not \"cmsis-interpolate-f32\""},
        {" --decimate 3 --format cmsis-decimate-f32" + kSmall,
         "--block 32: must be a multiple of decimation factor 3 for --format cmsis-decimate-f32"},
        {" --decimate 6 --stages 2x3 -o x.c --block 8 --format cmsis-decimate-q15" + kSmall,
         "--block 8: must be a multiple of stage 2's decimation factor 3 for --format "
         "cmsis-decimate-q15"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_EQ(o.err, "taplore-design: " + c.message + "\n") << c.words;
    }
}

} // namespace
