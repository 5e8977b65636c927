// The plot and the views of a rate change as a user asks for them: the cascade and its stages,
// a CIC compensator's three curves, and the single-rate plot as it always was.
#include "cli/run_design.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

const std::string kPlan =
    " --decimate 8 --rate 48000 --pass 0:2000 --ripple 0.1 --atten 80 --stages 4x2";

class MultirateViews : public DesignRunTest {
protected:
    MultirateViews() : DesignRunTest("taplore_multirate_views_") {}
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_F(MultirateViews, APlanDrawsItsCascadeAndEachStageWithOrWithoutItsFiles) {
    const std::string image = (m_dir / "plan.svg").string();
    const std::string taps = (m_dir / "taps.txt").string();
    const struct {
        std::string words;
        int curves;
        bool stageFiles;
    } cases[] = {
        {" --plot " + image, 3, false},
        {" --plot " + image + " -o " + taps, 3, true},
        {" --plot " + image + " -o " + taps + " --format q15", 4, true},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        const Outcome o = Run(kPlan + c.words);
        ASSERT_EQ(o.status, 0) << c.words << "\n" << o.err;
        EXPECT_EQ(o.out, "") << c.words;
        const std::string svg = ReadAll(image);
        EXPECT_EQ(Count(svg, "<polyline"), c.curves) << c.words;
        for (const char* label : {">cascade<", ">stage 1 (\u00f74)<", ">stage 2 (\u00f72)<",
                                  ">folds onto the pass band<"})
            EXPECT_NE(svg.find(label), std::string::npos) << c.words << ": " << label;
        EXPECT_EQ(std::filesystem::exists(m_dir / "taps.stage1.txt"), c.stageFiles) << c.words;
        EXPECT_EQ(std::filesystem::exists(m_dir / "taps.stage2.txt"), c.stageFiles) << c.words;
    }
}

// One stage is the cascade itself, an interpolator's over its gain: within the ripple of 0 dB
// at 0 Hz, 10 pixels down (the gain of 8 would be 18 dB higher).
TEST_F(MultirateViews, OneStageDrawsTheCascadeAloneBesideWhatFolds) {
    const Outcome o =
        Run(" --interpolate 8 --rate 48000 --pass 0:2000 --ripple 0.1 --atten 80 --plot -");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Count(o.out, "<polyline"), 1);
    const std::size_t first = o.out.find("points=\"0,");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NEAR(std::stod(o.out.substr(first + 10)), 10.0, 0.3);
    EXPECT_NE(o.out.find(">images of the pass band<"), std::string::npos);
    EXPECT_EQ(o.out.find(">stage 1"), std::string::npos);
}

// The views are those of the one filter the cascade equals at the high rate, whose delay is
// the latency the report gives.
TEST_F(MultirateViews, APlansViewsAreTheCascadesAtTheHighRate) {
    const Outcome o = Run(kPlan + " --view group-delay --points 4");
    ASSERT_EQ(o.status, 0) << o.err;
    const std::size_t at = o.err.find("latency: ");
    ASSERT_NE(at, std::string::npos) << o.err;
    const std::string latency = o.err.substr(at + 9, o.err.find(' ', at + 9) - at - 9);
    const auto lines = Lines(o.out);
    ASSERT_EQ(lines.size(), 5u) << o.out;
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(lines[i].find('\t') + 1), latency) << lines[i];
}

TEST_F(MultirateViews, ACicCompensatorsPlotHoldsTheCicTheFirAndTheCascade) {
    const Outcome o = Run(" --cic 4:16 --rate 100 --decimate 2 --pass 0:10 --ripple 0.1 "
                          "--atten 60 --plot -");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Count(o.out, "<polyline"), 3);
    for (const char* label : {">cascade<", ">CIC 4:16<", ">FIR<", ">folds onto the pass band<"})
        EXPECT_NE(o.out.find(label), std::string::npos) << label;
}

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return hash;
}

// The start-up filter's image, byte for byte as it was before rate changes had plots.
TEST_F(MultirateViews, TheSingleRatePlotIsUnchanged) {
    const Outcome o = Run(" --order 511 --rate 8000 --low 400 --high 2400 --plot -");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.size(), 9365u);
    EXPECT_EQ(Fnv1a(o.out), 0xfec47185e702e19bu);
}

} // namespace
