#include "core/design/equiripple.h"
#include "core/design/fewest_taps.h"
#include "core/design/kaiser.h"

#include "filter_response.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace taplore;

struct Case {
    const char* name;
    std::vector<Band> bands; // at 8000 Hz
    double rippleDb, attenuationDb;
    bool oddOnly; // a pass band reaches half the rate
};

const Case kCases[] = {
    {"low-pass", {{0, 1000, 1, 1}, {1500, 4000, 0, 1}}, 0.1, 60, false},
    {"high-pass", {{0, 1200, 0, 1}, {1600, 4000, 1, 1}}, 0.5, 50, true},
    {"band-pass", {{0, 800, 0, 1}, {1000, 2000, 1, 1}, {2300, 4000, 0, 1}}, 1, 40, false},
    {"band-stop", {{0, 900, 1, 1}, {1200, 2000, 0, 1}, {2400, 4000, 1, 1}}, 0.2, 45, true},
    {"two pass bands",
     {{0, 500, 1, 1}, {700, 1500, 0, 1}, {1800, 2500, 1, 1}, {2800, 4000, 0, 1}},
     0.5,
     55,
     false},
    // Stop bands of their own: 40 dB below the pass band, 70 dB above it.
    {"band-pass, stop bands apart",
     {{0, 800, 0, 1, 40}, {1000, 2000, 1, 1}, {2300, 4000, 0, 1, 70}},
     0.5,
     0,
     false},
};

Requirements RequirementsOf(const Case& c) {
    Requirements r;
    r.rate = 8000;
    r.bands = c.bands;
    r.rippleDb = c.rippleDb;
    r.attenuationDb = c.attenuationDb;
    return r;
}

// The next shorter length designed the way the search designs: equiripple weighing each band
// by 1 / its tolerance, or Kaiser's window.
std::vector<double> DesignedAlike(const Requirements& r, DesignMethod method, int taps) {
    if (method == DesignMethod::kaiser)
        return DesignKaiser(r, taps).taps;
    Requirements weighted = r;
    for (Band& band : weighted.bands)
        band.weight = 1 / AllowedDeviation(r, band);
    return DesignEquiripple(weighted, taps).taps;
}

TEST(FewestTaps, MeetsAndTheNextShorterLengthMisses) {
    for (DesignMethod method : {DesignMethod::equiripple, DesignMethod::kaiser})
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.name) +
                         (method == DesignMethod::kaiser ? ", Kaiser" : ", equiripple"));
            const Requirements r = RequirementsOf(c);
            const FewestTapsResult result = DesignFewestTaps(r, method);
            ASSERT_EQ(result.status, DesignStatus::converged) << result.message;
            const int taps = static_cast<int>(result.taps.size());
            EXPECT_TRUE(filter_response::Meets(result.taps, r));
            if (c.oddOnly) {
                EXPECT_EQ(taps % 2, 1);
            }
            const int shorter = taps - (c.oddOnly ? 2 : 1);
            ASSERT_EQ(result.shorterTaps, shorter);
            const std::vector<double> missing = DesignedAlike(r, method, shorter);
            ASSERT_EQ(static_cast<int>(missing.size()), shorter);
            EXPECT_FALSE(filter_response::Meets(missing, r));
        }
}

TEST(FewestTaps, EquirippleNeedsFewerTapsThanKaiser) {
    for (const Case& c : kCases) {
        const Requirements r = RequirementsOf(c);
        EXPECT_LT(DesignFewestTaps(r, DesignMethod::equiripple).taps.size(),
                  DesignFewestTaps(r, DesignMethod::kaiser).taps.size())
            << c.name;
    }
}

TEST(FewestTaps, TheExampleStartsFromKaisersEstimates) {
    const Requirements r = RequirementsOf(kCases[0]);
    // (-20 log10(sqrt(dp ds)) - 13) / (14.6 * 500 / 8000) + 1, rounded up.
    EXPECT_EQ(EstimateTaps(r, DesignMethod::equiripple), 45);
    // A = 60 dB: (60 - 8) / (2.285 * 2 pi 500 / 8000) + 1, rounded up.
    EXPECT_EQ(EstimateTaps(r, DesignMethod::kaiser), 59);
    EXPECT_NEAR(DesignFewestTaps(r, DesignMethod::kaiser).beta, 0.1102 * (60 - 8.7), 1e-12);
}

TEST(FewestTaps, RequirementsBeyondTheLongestDesignFail) {
    Requirements r = RequirementsOf(kCases[0]);
    r.bands[1].lowHz = 1000.01; // a transition of 1/100 Hz
    const FewestTapsResult result = DesignFewestTaps(r, DesignMethod::kaiser);
    EXPECT_EQ(result.status, DesignStatus::failed);
    EXPECT_TRUE(result.taps.empty());
    EXPECT_FALSE(result.message.empty());
}

TEST(FewestTaps, RefusedRequirementsDesignNothing) {
    Requirements r = RequirementsOf(kCases[0]);
    r.rippleDb = 0;
    const FewestTapsResult result = DesignFewestTaps(r, DesignMethod::equiripple);
    EXPECT_EQ(result.status, DesignStatus::refused);
    EXPECT_NE(result.message.find("ripple"), std::string::npos);
    EXPECT_EQ(result.designs, 0);
}

} // namespace
