// taplore-design's rate changes run as a user runs them: the report's lines, the stages
// written a file each, and the refusals that name their option.
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>

namespace {

const std::string kExample =
    " --decimate 64 --rate 3072000 --pass 0:20000 --ripple 0.1 --atten 100";
const std::string kSmall = " --rate 48000 --pass 0:2000 --ripple 0.1 --atten 80";

class Multirate : public DesignRunTest {
protected:
    Multirate() : DesignRunTest("taplore_multirate_") {}
};

TEST_F(Multirate, OneStageReportsItsMultiplicationsAndLatencyAtBothRates) {
    const struct {
        std::string words;
        std::vector<std::string> lines;
        std::size_t taps;
    } cases[] = {
        {" --decimate 8" + kSmall,
         {"decimate by 8 in one stage, 48000 Hz to 6000 Hz",
          "equiripple, 87 taps: meets the requirements; 86 and 85 taps miss",
          "stage 1: 8 at 48000 Hz, 87 taps, 10.88 multiplications per input sample",
          "latency: 43 samples at 48000 Hz, 5.375 at 6000 Hz"},
         87},
        {" --interpolate 8" + kSmall,
         {"interpolate by 8 in one stage, 6000 Hz to 48000 Hz, gain 8",
          "stage 1: 8 at 48000 Hz, 87 taps, 10.88 multiplications per output sample"},
         87},
        {" --decimate 8 --alias none" + kSmall,
         {"decimate by 8 in one stage, 48000 Hz to 6000 Hz, nothing aliased below 3000 Hz",
          "stop 3000 to 24000 Hz: attenuation"},
         167},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        ASSERT_EQ(o.status, 0) << c.words << "\n" << o.err;
        for (const std::string& line : c.lines)
            EXPECT_NE(o.err.find(line), std::string::npos) << c.words << ": " << line << "\n"
                                                           << o.err;
        EXPECT_EQ(Lines(o.out).size(), c.taps) << c.words;
    }
}

TEST_F(Multirate, APlanWritesEveryStageToItsOwnFileAndSaysWhich) {
    const std::string base = (m_dir / "taps.txt").string();
    const Outcome o = Run(kExample + " --stages auto -o " + base);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.err.find("decimate by 64 in 3 stages"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("total: "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("(estimated)"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("cascade, measured: pass 0 to 20000 Hz"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("plans compared"), std::string::npos) << o.err;
    std::string wrote = "wrote";
    for (int stage = 1; stage <= 3; ++stage) {
        const std::string path = (m_dir / ("taps.stage" + std::to_string(stage) + ".txt")).string();
        wrote += " " + path;
        EXPECT_FALSE(ReadAll(path).empty()) << path;
    }
    EXPECT_NE(o.err.find(wrote), std::string::npos) << o.err;
    EXPECT_FALSE(std::filesystem::exists(base));
}

// The cascade is measured again with the taps as each format writes them: Q15 holds no
// 100 dB, which the warning says with both figures; the full digits and a wide width hold it.
TEST_F(Multirate, TheCascadeAsWrittenIsMeasuredAndItsMissWarned) {
    const std::string deep = " --decimate 4 --rate 48000 --pass 0:5000 --ripple 0.1 --atten 100";
    const std::string warning =
        "warning: the taps as --format q writes them miss the requirements: the cascade's ";
    const struct {
        std::string words;
        std::string warned; // "" for none
    } cases[] = {
        {deep + " --format q", warning + "pass 0 to 5000 Hz: ripple "},
        {deep + " --format q", "; aliased: attenuation "},
        {deep + " --format q", " dB in double (100 dB asked); --format full keeps every digit"},
        {kExample + " --stages 4x4x4 --format q -o " + (m_dir / "t.txt").string(),
         warning + "aliased: attenuation "},
        {" --cic 4:16 --decimate 2 --rate 96000 --pass 0:20000 --ripple 0.1 --atten 80 --format "
         "q:12",
         warning + "stop 28000 to 48000 Hz: attenuation "},
        {deep + " --format full", ""},
        {deep + " --format q:28", ""},
        // Plans in every kind of output: one file of all stages, a file a stage, an
        // interpolator's gain taken out before the stages are weighed.
        {deep + " --stages 2x2 --format vhdl --bits 10",
         "warning: the taps as --format vhdl writes them miss the requirements: the cascade's "
         "pass 0 to 5000 Hz: ripple "},
        {deep + " --stages 2x2 --format vhdl --bits 28", ""},
        {" --interpolate 4 --rate 48000 --pass 0:5000 --ripple 0.1 --atten 100 --stages 2x2 "
         "--format c-q15",
         "warning: the taps as --format c-q15 writes them miss the requirements: the cascade's "
         "aliased: attenuation "},
        {" --decimate 4 --rate 48000 --pass 0:5000 --ripple 0.01 --atten 140 --stages 2x2 "
         "--format text -o " +
             (m_dir / "deep.txt").string(),
         " dB as written, "},
        {deep + " --stages 2x2 --format cmsis-decimate-f32", ""},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        ASSERT_EQ(o.status, 0) << c.words << "\n" << o.err;
        if (c.warned.empty())
            EXPECT_EQ(o.err.find("warning"), std::string::npos) << c.words << "\n" << o.err;
        else
            EXPECT_NE(o.err.find(c.warned), std::string::npos) << c.words << "\n" << o.err;
    }
}

TEST_F(Multirate, RateChangesOutOfRangeAreRefusedByName) {
    const struct {
        std::string words, message;
    } cases[] = {
        {" --decimate 1" + kSmall,
         "--decimate: must be a whole number from 2 to 2147483647, not \"1\""},
        {" --interpolate 0" + kSmall,
         "--interpolate: must be a whole number from 2 to 2147483647, not \"0\""},
        {" --decimate 8 --rate 48000 --pass 0:3000 --ripple 0.1 --atten 80",
         "--pass: must be 0:FP with FP below 3000 Hz (half of --rate over --decimate 8), not "
         "\"0:3000\""},
        {" --decimate 8 --rate 48000 --pass 100:2000 --ripple 0.1 --atten 80",
         "--pass: must be 0:FP with FP below 3000 Hz"},
        {kExample + " --stages 4x4x3 -o x.txt",
         "--stages 4x4x3: the factors 4x4x3 multiply to 48, not 64"},
        {" --decimate 7 --stages 2 -o x.txt" + kSmall,
         "--stages 2: 7 is no product of 2 factors of 2 or more"},
        {kExample + " --stages 5", "--stages: must be auto, a count from 1 to 4 or factors"},
        {kExample + " --stages auto", "--output: must name a file with --stages auto and --format "
                                      "text, which writes a file a stage"},
        {" --decimate 8 --interpolate 8" + kSmall,
         "--interpolate: must be left out with --decimate"},
        {" --decimate 8 --stop 4000:24000" + kSmall, "--stop: must be left out with --decimate"},
        {" --interpolate 8 --taps 51" + kSmall, "--taps: must be left out with --interpolate"},
        {" --decimate 8 --method hamming --rate 48000 --pass 0:2000",
         "--method: must be equiripple"},
        {" --decimate 8 --rate 48000 --ripple 0.1 --atten 80", "--pass is required"},
        {" --decimate 8 --alias all" + kSmall, "--alias: must be pass or none, not \"all\""},
        {kSmall + " --stop 4000:24000 --alias none",
         "--alias: must be given with --decimate or --interpolate"},
        {" --decimate 8 --rate 48000 --pass 0:2000 --ripple 0 --atten 80", "--ripple 0: "},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_TRUE(o.err.starts_with("taplore-design: " + c.message)) << c.words << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.words;
    }
}

// A compensator's report names the CIC, its droop, the cascade as measured, and the FIR's own
// decimation; its taps are written as any design's.
TEST_F(Multirate, ACicCompensatorReportsTheCascadeItKeeps) {
    const Outcome o = Run(" --cic 4:16 --rate 100 --decimate 2 --pass 0:10 --ripple 0.1 "
                          "--atten 60 --format full");
    ASSERT_EQ(o.status, 0) << o.err;
    for (const std::string line :
         {"CIC compensator, equiripple, 11 taps: the cascade meets the requirements; 10 and 9 taps "
          "miss",
          "after a CIC of 4:16 (stages:factor:delay) at 1600 Hz: droop 0.5712 dB at 10 Hz "
          "uncompensated",
          "cascade, measured: pass 0 to 10 Hz: ripple 0.04265 dB (0.1 dB asked); stop 40 to 50 "
          "Hz: attenuation 77.02 dB (60 dB asked)",
          "the FIR decimates by 2: 5.5 multiplications per input sample"})
        EXPECT_NE(o.err.find(line + "\n"), std::string::npos) << line << "\n" << o.err;
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 11);
}

TEST_F(Multirate, CicCompensatorsOutOfRangeAreRefusedByName) {
    const std::string tolerances = " --ripple 0.1 --atten 60";
    const struct {
        std::string words, message;
    } cases[] = {
        {" --cic 4:1 --rate 100 --pass 0:10 --stop 20:50" + tolerances,
         "--cic: must be STAGES:FACTOR or STAGES:FACTOR:DELAY, whole numbers, the factor 2 or "
         "more, not \"4:1\""},
        {" --cic 4:16:0 --rate 100 --pass 0:10 --stop 20:50" + tolerances,
         "--cic: must be STAGES:FACTOR"},
        {" --cic 4:16:3 --rate 100 --pass 0:40 --stop 45:50" + tolerances,
         "--cic 4:16:3: the pass band reaches the CIC's first null, at its output rate over its "
         "delay"},
        {" --cic 4:16 --rate 100 --pass 0:10 --stop 20:40" + tolerances,
         "--stop: must be one band LO:50 (to half the rate) with --cic, not \"20:40\""},
        {" --cic 4:16 --rate 100 --pass 5:10 --stop 20:50" + tolerances,
         "--pass: must be one band 0:FP with --cic, not \"5:10\""},
        {" --cic 4:16 --rate 100 --pass 0:10" + tolerances, "--stop is required"},
        {" --cic 4:16 --rate 100 --pass 0:10 --stop 20:50 --method kaiser" + tolerances,
         "--method: must be left out with --cic"},
        {" --cic 4:16 --interpolate 2 --rate 100 --pass 0:10" + tolerances,
         "--interpolate: must be left out with --cic"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.words);
        EXPECT_EQ(o.status, 2) << c.words;
        EXPECT_TRUE(o.err.starts_with("taplore-design: " + c.message)) << c.words << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.words;
    }
}

} // namespace
