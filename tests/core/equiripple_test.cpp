#include "core/design/equiripple.h"

#include "filter_response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace taplore;
using filter_response::Amplitude;
using filter_response::AtFrequency;
using filter_response::Radians;
using filter_response::WeightedError;

struct Case {
    const char* name;
    int taps;
    std::vector<Band> bands; // at rate 2: 1 Hz is half the rate
    ResponseKind kind = ResponseKind::ordinary;
};

Requirements AtRateTwo(const Case& c) {
    Requirements r;
    r.rate = 2.0;
    r.bands = c.bands;
    r.kind = c.kind;
    return r;
}

const Band& BandAt(const std::vector<Band>& bands, double hz) {
    for (const Band& band : bands)
        if (hz >= band.lowHz - 1e-12 && hz <= band.highHz + 1e-12)
            return band;
    throw std::out_of_range("no band at " + std::to_string(hz));
}

// The published minimax errors of three equal-weight designs.
TEST(Equiripple, ReachesThePublishedMinimaxErrors) {
    struct Published {
        Case design;
        double delta;
    };
    const Published published[] = {
        {{"low-pass", 41, {{0, 0.5, 1, 1}, {0.6, 1, 0, 1}}}, 0.010304},
        {{"band-pass", 41, {{0, 0.25, 0, 1}, {0.3, 0.6, 1, 1}, {0.65, 1, 0, 1}}}, 0.055834},
        {{"three levels", 31, {{0, 0.2, 1, 1}, {0.4, 0.6, 0.5, 1}, {0.8, 1, 0, 1}}}, 5.6277e-4},
    };
    for (const Published& p : published) {
        const EquirippleResult result = DesignEquiripple(AtRateTwo(p.design), p.design.taps);
        ASSERT_EQ(result.status, DesignStatus::converged) << p.design.name << result.message;
        double largest = 0.0;
        for (const Band& band : p.design.bands)
            largest = std::max(largest, filter_response::LargestDeviation(result.taps, band, 2));
        EXPECT_NEAR(largest, p.delta, p.delta * 1e-3) << p.design.name;
        EXPECT_NEAR(result.deviation, largest, largest * 1e-6) << p.design.name;
    }
}

// Every converged design satisfies the alternation theorem, checked from its taps: r + 1
// frequencies where the weighted error alternates in sign with one magnitude, which no other
// frequency of the bands exceeds. The taps have the symmetry of their kind.
TEST(Equiripple, ConvergedDesignsAlternate) {
    const Case cases[] = {
        {"low-pass", 41, {{0, 0.5, 1, 1}, {0.6, 1, 0, 1}}},
        {"three levels", 31, {{0, 0.2, 1, 1}, {0.4, 0.6, 0.5, 1}, {0.8, 1, 0, 1}}},
        {"even low-pass", 40, {{0, 0.3, 1, 1}, {0.4, 1, 0, 10}}},
        {"high-pass", 51, {{0, 0.3, 0, 1}, {0.4, 1, 1, 1}}},
        {"band-stop", 61, {{0, 0.3, 1, 1}, {0.4, 0.6, 0, 1}, {0.7, 1, 1, 1}}},
        {"long low-pass", 1001, {{0, 0.4, 1, 1}, {0.41, 1, 0, 1}}},
        {"Hilbert, even", 30, {{0.05, 1, 1, 1}}, ResponseKind::hilbert},
        {"Hilbert, odd", 31, {{0.05, 0.95, 1, 1}}, ResponseKind::hilbert},
        {"differentiator", 30, {{0, 1, 1, 1}}, ResponseKind::differentiator},
        {"differentiator, odd", 31, {{0, 0.9, 1, 1}}, ResponseKind::differentiator},
        // Sloped gains: the error from each band's line alternates as from a gain.
        {"falling pass band", 41, {{0, 0.75, 1, 1, std::nullopt, 0.25}, {0.875, 1, 0, 1}}},
        {"rising and falling",
         50,
         {{0, 0.3, 0.2, 1, std::nullopt, 1}, {0.4, 0.7, 1, 3, std::nullopt, 0}, {0.8, 1, 0, 1}}},
        {"sloped Hilbert", 40, {{0.05, 1, 0.5, 1, std::nullopt, 1}}, ResponseKind::hilbert},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EquirippleResult result = DesignEquiripple(AtRateTwo(c), c.taps);
        ASSERT_EQ(result.status, DesignStatus::converged) << result.message;
        ASSERT_EQ(static_cast<int>(result.taps.size()), c.taps);
        const bool antisymmetric = c.kind != ResponseKind::ordinary;
        for (int n = 0; n < c.taps; ++n)
            ASSERT_NEAR(result.taps[n], (antisymmetric ? -1 : 1) * result.taps[c.taps - 1 - n],
                        1e-12)
                << n;

        const int free = antisymmetric ? c.taps / 2 : (c.taps + 1) / 2;
        ASSERT_GE(static_cast<int>(result.extremalHz.size()), free + 1);
        std::vector<double> errors;
        for (double hz : result.extremalHz)
            errors.push_back(WeightedError(result.taps, AtFrequency(BandAt(c.bands, hz), hz),
                                           c.kind, Radians(hz, 2)));
        const double level = std::fabs(errors.front());
        for (std::size_t k = 0; k < errors.size(); ++k) {
            EXPECT_NEAR(std::fabs(errors[k]), level, level * 1e-6) << k;
            if (k > 0) {
                EXPECT_LT(errors[k] * errors[k - 1], 0.0) << k;
            }
        }
        for (const Band& band : c.bands) {
            for (int i = 0; i <= 2000; ++i) {
                const double hz = band.lowHz + (band.highHz - band.lowHz) * i / 2000;
                ASSERT_LE(std::fabs(WeightedError(result.taps, AtFrequency(band, hz), c.kind,
                                                  Radians(hz, 2))),
                          level * (1 + 1e-6))
                    << hz;
            }
        }
    }
}

TEST(Equiripple, RefusesWhatNoTapsOfThatLengthCanDo) {
    const struct {
        const char* name;
        Case design;
        const char* message;
    } cases[] = {
        {"no taps", {"", 0, {{0, 0.5, 1, 1}}}, "the taps must be from 1 to 131071"},
        {"too many", {"", 131072, {{0, 0.5, 1, 1}}}, "the taps must be from 1 to 131071"},
        {"one antisymmetric tap",
         {"", 1, {{0.1, 0.5, 1, 1}}, ResponseKind::hilbert},
         "from 2 to 131071 for antisymmetric"},
        {"even high-pass",
         {"", 40, {{0, 0.3, 0, 1}, {0.4, 1, 1, 1}}},
         "an even length has no response at half the rate: use an odd one"},
        {"odd Hilbert to half the rate",
         {"", 31, {{0.1, 1, 1, 1}}, ResponseKind::hilbert},
         "an odd length has no response at half the rate: use an even one"},
        {"Hilbert from 0 Hz",
         {"", 30, {{0, 0.5, 1, 1}}, ResponseKind::hilbert},
         "antisymmetric taps have no response at 0 Hz"},
        {"bands out of order", {"", 21, {{0.5, 0.2, 1, 1}}}, "edges out of order"},
        {"zero weight", {"", 21, {{0, 0.5, 1, 0}}}, "weight must be positive"},
    };
    for (const auto& c : cases) {
        const EquirippleResult result = DesignEquiripple(AtRateTwo(c.design), c.design.taps);
        EXPECT_EQ(result.status, DesignStatus::refused) << c.name;
        EXPECT_NE(result.message.find(c.message), std::string::npos)
            << c.name << ": " << result.message;
        EXPECT_TRUE(result.taps.empty()) << c.name;
    }
}

// Designs beyond what doubles resolve fail with a reason and no taps, never a silent filter.
TEST(Equiripple, FailsWithAReasonWhereDoublesCannotFollow) {
    // Most of the range left free: the response there would swell past 1e30.
    const Case c{"free half", 117, {{0, 0.396, 1, 9.04}, {0.5365, 0.6165, 0, 1.35}}};
    const EquirippleResult result = DesignEquiripple(AtRateTwo(c), c.taps);
    EXPECT_EQ(result.status, DesignStatus::failed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_TRUE(result.taps.empty());
}

// A length whose optimum lies below what the exchange resolves in doubles (scipy pull request
// #9066): the longest shorter design that converges, zero taps added at both ends, and says so.
TEST(Equiripple, BelowThePrecisionFloorTheBestShorterDesignIsPadded) {
    const Case c{"542-tap low-pass", 542, {{0, 0.62, 1, 1}, {0.8, 1, 0, 1}}};
    const EquirippleResult result = DesignEquiripple(AtRateTwo(c), c.taps);
    ASSERT_EQ(result.status, DesignStatus::convergedWithWarning) << result.message;
    ASSERT_EQ(result.taps.size(), 542u);
    const std::size_t shorter = std::stoul(result.message.substr(result.message.rfind(": ") + 2));
    ASSERT_LT(shorter, 542u);
    EXPECT_EQ(shorter % 2, 0u);
    const std::size_t pad = (542 - shorter) / 2;
    for (std::size_t k = 0; k < pad; ++k)
        EXPECT_TRUE(result.taps[k] == 0.0 && result.taps[541 - k] == 0.0) << k;
    EXPECT_NE(result.taps[pad], 0.0);
    for (const Band& band : c.bands)
        EXPECT_LT(filter_response::LargestDeviation(result.taps, band, 2), 1e-8);
}

// The floor holds for every band: with a stop band weighted 1e12 against a pass band's 174,
// a shorter design whose pass band has given up (a weighted deviation near 174) lies far above
// it, and is no design of this length with zeros added.
TEST(Equiripple, AShorterDesignThatGaveUpItsPassBandIsNoPrecisionFloor) {
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 1000, 1, 1 / PassDeviation(0.1)}, {3000, 24000, 0, 1 / StopDeviation(250)}};
    const EquirippleResult result = DesignEquiripple(r, 200);
    if (HasTaps(result.status)) {
        EXPECT_LT(filter_response::LargestDeviation(result.taps, r.bands[0], r.rate), 1e-2)
            << result.message;
    }
}

// A transition so easy for the length that the ripples lie near 1e-9, far below the pass
// band's gain: the interpolation runs in long double there, and the taps reach what they say.
TEST(Equiripple, DeepRipplesConvergeInExtendedPrecision) {
    const Case c{"over-long low-pass", 235, {{0, 0.858, 1, 9.63}, {0.9469, 1, 0, 6.88}}};
    const EquirippleResult result = DesignEquiripple(AtRateTwo(c), c.taps);
    ASSERT_TRUE(HasTaps(result.status)) << result.message;
    EXPECT_TRUE(result.extended);
    double largest = 0.0;
    for (const Band& band : c.bands)
        largest = std::max(largest,
                           band.weight * filter_response::LargestDeviation(result.taps, band, 2));
    EXPECT_LT(largest, 1e-7);
    EXPECT_NEAR(largest, result.deviation, 1e-3 * result.deviation);
}

// 200 dB below a pass band of 0.1 dB: weights 5.8e7 apart, beyond what long double resolves
// between the bands. The stop band's ripple, summed directly, reaches what the exchange says and
// what the requirements ask, with the pass band within its own.
TEST(Equiripple, TwoHundredDecibelsConvergeInDoubleDouble) {
    Requirements r;
    r.rate = 48000;
    const double pass = PassDeviation(0.1), stop = StopDeviation(200);
    r.bands = {{0, 1000, 1, 1}, {1100, 24000, 0, pass / stop}};
    const EquirippleResult result = DesignEquiripple(r, 3301);
    ASSERT_TRUE(HasTaps(result.status)) << result.message;
    EXPECT_TRUE(result.extended);
    const double passError = filter_response::LargestDeviation(result.taps, r.bands[0], r.rate);
    const double stopError = filter_response::LargestDeviation(result.taps, r.bands[1], r.rate);
    EXPECT_LE(passError, pass);
    EXPECT_LE(stopError, stop);
    EXPECT_NEAR(std::max(passError, r.bands[1].weight * stopError), result.deviation,
                1e-3 * result.deviation);
}

// 150 dB below a pass band of 0.1 dB, in double: the coefficients' rounding, magnified by
// weights 1.8e5 apart, exceeds the differences between the ripples near convergence, and only
// with the interpolant deciding where the peaks lie does the exchange end without a doubt.
TEST(Equiripple, HeavilyWeightedStopBandsConvergeWithoutDoubt) {
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 1000, 1, 1}, {1100, 24000, 0, PassDeviation(0.1) / StopDeviation(150)}};
    const EquirippleResult result = DesignEquiripple(r, 2617);
    EXPECT_EQ(result.status, DesignStatus::converged) << result.message;
}

TEST(Equiripple, ExactFitsNeedNoExchange) {
    // One band asking for a constant: a single tap's worth, the rest zero.
    const EquirippleResult result = DesignEquiripple(AtRateTwo({"", 213, {{0, 0.333, 1, 8}}}), 213);
    ASSERT_EQ(result.status, DesignStatus::converged) << result.message;
    for (int n = 0; n < 213; ++n)
        EXPECT_NEAR(result.taps[n], n == 106 ? 1.0 : 0.0, 1e-12) << n;
}

TEST(Equiripple, ProgressSeesTheExchangeAndCanStopIt) {
    const Requirements r = AtRateTwo({"", 1001, {{0, 0.4, 1, 1}, {0.41, 1, 0, 1}}});
    std::vector<double> shares;
    const EquirippleResult done = DesignEquiripple(r, 1001, [&](double share) {
        shares.push_back(share);
        return true;
    });
    ASSERT_EQ(done.status, DesignStatus::converged);
    ASSERT_FALSE(shares.empty());
    for (double share : shares)
        EXPECT_TRUE(share >= 0.0 && share <= 1.0) << share;

    const EquirippleResult stopped = DesignEquiripple(r, 1001, [](double) { return false; });
    EXPECT_EQ(stopped.status, DesignStatus::stopped);
    EXPECT_TRUE(stopped.taps.empty());
}

// An exchange's level is a lower bound on the optimum's deviation: a design told to end once
// it passes a bound below the optimum ends as missed, at a level between the two, and a bound
// above the optimum changes nothing.
TEST(Equiripple, EndsAsMissedOnlyBelowTheOptimum) {
    for (const Case& c : {Case{"low-pass", 41, {{0, 0.5, 1, 1}, {0.6, 1, 0, 1}}},
                          Case{"long low-pass", 601, {{0, 0.4, 1, 1}, {0.41, 1, 0, 10}}}}) {
        const Requirements r = AtRateTwo(c);
        const EquirippleResult optimum = DesignEquiripple(r, c.taps);
        ASSERT_TRUE(HasTaps(optimum.status)) << c.name;
        const double bound = optimum.deviation * 0.999;
        const EquirippleResult missed = DesignEquiripple(r, c.taps, {}, {}, bound);
        EXPECT_EQ(missed.status, DesignStatus::missed) << c.name;
        EXPECT_TRUE(missed.taps.empty()) << c.name;
        EXPECT_GT(missed.deviation, bound) << c.name;
        EXPECT_LE(missed.deviation, optimum.deviation * (1 + 1e-9)) << c.name;
        EXPECT_LE(missed.iterations, optimum.iterations) << c.name;

        const EquirippleResult same =
            DesignEquiripple(r, c.taps, {}, {}, optimum.deviation * 1.001);
        EXPECT_EQ(same.status, optimum.status) << c.name;
        EXPECT_EQ(same.taps, optimum.taps) << c.name;
    }
}

} // namespace
