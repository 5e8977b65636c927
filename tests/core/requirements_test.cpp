#include "core/design/requirements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace taplore;

// Lowpass 0-1000 Hz pass, 1500-4000 Hz stop at 8000 Hz: the example requirements.
Requirements Example() {
    Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1500, 4000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 60;
    return r;
}

TEST(Requirements, TolerancesFollowFromDecibels) {
    // 0.1 dB peak to peak is a gain between 1 - dp and 1 + dp with (1 + dp) / (1 - dp) = 10^0.005.
    const double dp = PassDeviation(0.1);
    EXPECT_NEAR((1 + dp) / (1 - dp), std::pow(10.0, 0.005), 1e-15);
    EXPECT_NEAR(dp, 0.0057563991, 1e-10);
    EXPECT_DOUBLE_EQ(StopDeviation(60), 0.001);
    EXPECT_DOUBLE_EQ(StopDeviation(20), 0.1);
    EXPECT_NEAR(RippleDb(dp), 0.1, 1e-12);
    EXPECT_NEAR(AttenuationDb(0.001), 60, 1e-12);
}

TEST(Requirements, RefusalsNameWhatIsWrong) {
    const struct {
        const char* name;
        void (*spoil)(Requirements&);
        RequirementsPart part;
        int band;
        const char* text;
    } cases[] = {
        {"no rate", [](Requirements& r) { r.rate = 0; }, RequirementsPart::rate, -1,
         "the rate must be positive"},
        {"reversed",
         [](Requirements& r) {
             r.bands[1] = {4000, 1500, 0, 1};
         },
         RequirementsPart::band, 1, "edges out of order"},
        {"beyond half", [](Requirements& r) { r.bands[1].highHz = 4001; }, RequirementsPart::band,
         1, "beyond half the rate"},
        {"negative", [](Requirements& r) { r.bands[0].lowHz = -1; }, RequirementsPart::band, 0,
         "below 0 Hz"},
        {"overlapping", [](Requirements& r) { r.bands[1].lowHz = 900; }, RequirementsPart::band, 1,
         "overlaps the band below it"},
        {"touching", [](Requirements& r) { r.bands[1].lowHz = 1000; }, RequirementsPart::band, 1,
         "touches the band below it"},
        {"no band", [](Requirements& r) { r.bands.clear(); }, RequirementsPart::band, -1,
         "no band"},
        {"no pass band", [](Requirements& r) { r.bands[0].gain = 0; }, RequirementsPart::band, -1,
         "no pass band"},
        {"a gain between", [](Requirements& r) { r.bands[0].gain = 0.5; }, RequirementsPart::band,
         0, "a pass band (gain 1) or a stop band (gain 0)"},
        {"no ripple", [](Requirements& r) { r.rippleDb = 0; }, RequirementsPart::ripple, -1,
         "the ripple must be above 0 dB"},
        {"no attenuation", [](Requirements& r) { r.attenuationDb = -3; },
         RequirementsPart::attenuation, -1, "the attenuation must be above 0 dB"},
        {"a band's own attenuation", [](Requirements& r) { r.bands[1].toleranceDb = 0; },
         RequirementsPart::attenuation, 1, "the attenuation must be above 0 dB"},
        // Tolerances whose deviation rounds away: 1e-90 dB of ripple is a deviation of 0.
        {"a ripple lost in rounding", [](Requirements& r) { r.rippleDb = 1e-90; },
         RequirementsPart::ripple, -1, "at least 1e-13 dB"},
        {"an attenuation lost in rounding", [](Requirements& r) { r.attenuationDb = 301; },
         RequirementsPart::attenuation, -1, "at most 300 dB"},
        {"Hilbert", [](Requirements& r) { r.kind = ResponseKind::hilbert; }, RequirementsPart::kind,
         -1, "ordinary filters only"},
    };
    for (const auto& c : cases) {
        Requirements r = Example();
        c.spoil(r);
        const auto problem = CheckTolerances(r);
        ASSERT_TRUE(problem) << c.name;
        EXPECT_EQ(problem->part, c.part) << c.name;
        EXPECT_EQ(problem->band, c.band) << c.name;
        EXPECT_NE(problem->text.find(c.text), std::string::npos) << c.name << ": " << problem->text;
    }
    EXPECT_FALSE(CheckTolerances(Example()));
}

TEST(Requirements, SymmetryDecidesWhichLengthsCanAnswer) {
    Requirements highPass = Example();
    highPass.bands = {{0, 1000, 0, 1}, {1500, 4000, 1, 1}};
    EXPECT_FALSE(SymmetryProblem(highPass, 45));
    ASSERT_TRUE(SymmetryProblem(highPass, 46));
    EXPECT_EQ(SymmetryProblem(highPass, 46)->part, RequirementsPart::taps);
    EXPECT_FALSE(SymmetryProblem(Example(), 46)); // a low-pass takes both parities

    Requirements differentiator = Example();
    differentiator.kind = ResponseKind::differentiator;
    differentiator.bands = {{0, 4000, 1, 1}};
    EXPECT_FALSE(SymmetryProblem(differentiator, 30)); // asks for nothing at 0 Hz
    EXPECT_TRUE(SymmetryProblem(differentiator, 31));  // but for something at half the rate
}

} // namespace
