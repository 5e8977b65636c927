#include "core/multirate/cic.h"

#include "core/design/equiripple.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace taplore {
namespace {

constexpr double kPi = std::numbers::pi;

// The CIC as what it is: N moving sums of R D input samples, summed directly.
double MovingSums(int n, int r, int d, double hz, double fin) {
    double re = 0.0, im = 0.0;
    for (int k = 0; k < r * d; ++k) {
        re += std::cos(2 * kPi * hz * k / fin);
        im -= std::sin(2 * kPi * hz * k / fin);
    }
    return std::pow(std::hypot(re, im) / (r * d), n);
}

// The closed form, written as the sines' ratio raised to N.
double ClosedForm(int n, int r, int d, double hz, double fin) {
    return std::pow(
        std::fabs(std::sin(kPi * hz * r * d / fin) / (r * d * std::sin(kPi * hz / fin))), n);
}

TEST(CicGainTest, FollowsTheClosedForm) {
    struct Case {
        CicShape cic;
        double hz, fin;
    } cases[] = {
        {{1, 2, 1}, 100.0, 1000.0}, {{3, 8, 1}, 17.0, 800.0},   {{4, 16, 2}, 5.5, 1600.0},
        {{5, 10, 1}, 39.0, 1000.0}, {{2, 4, 1}, 460.0, 1000.0},
    };
    for (const Case& c : cases) {
        const double gain = CicGain(c.cic, c.hz, c.fin);
        const auto [n, r, d] = c.cic;
        EXPECT_NEAR(gain, ClosedForm(n, r, d, c.hz, c.fin), 1e-14) << n << ":" << r << ":" << d;
        EXPECT_NEAR(gain, MovingSums(n, r, d, c.hz, c.fin), 1e-12) << n << ":" << r << ":" << d;
    }
}

TEST(CicGainTest, IsOneAtDcAndZeroAtItsNulls) {
    const CicShape cic{3, 8, 2};
    EXPECT_DOUBLE_EQ(CicGain(cic, 0.0, 1600.0), 1.0);
    // Nulls at multiples of Fin / (R D) = 100 Hz.
    for (const double hz : {100.0, 200.0, 300.0, 1000.0})
        EXPECT_NEAR(CicGain(cic, hz, 1600.0), 0.0, 1e-12) << hz;
}

TEST(CicCompensatorTest, TheCascadeKeepsRippleAndAttenuation) {
    struct Case {
        CicShape cic;
        int decimate;
        double passHz, rippleDb, attenuationDb;
    } cases[] = {
        {{4, 16, 1}, 2, 10.0, 0.1, 60.0},
        {{3, 8, 1}, 2, 8.0, 0.05, 50.0},
        {{5, 10, 2}, 4, 3.0, 0.2, 70.0},
    };
    for (const Case& c : cases) {
        CompensatorAsk ask;
        ask.cic = c.cic;
        ask.rate = 100.0;
        ask.decimate = c.decimate;
        ask.passHz = c.passHz;
        ask.stopHz = FoldingStopHz(ask.rate, c.decimate, c.passHz);
        ask.rippleDb = c.rippleDb;
        ask.attenuationDb = c.attenuationDb;
        ASSERT_FALSE(CompensatorProblem(ask));
        const Compensator compensator = DesignCompensator(ask);
        ASSERT_FALSE(compensator.taps.empty());
        const CompensatorFigures& f = compensator.figures;
        EXPECT_TRUE(f.met);
        EXPECT_LE(f.rippleDb, c.rippleDb);
        EXPECT_GE(f.attenuationDb, c.attenuationDb);
        // The droop it undoes is well beyond the ripple kept, so the FIR must have lifted it.
        EXPECT_GT(f.droopDb, c.rippleDb);
    }
}

// The fewest over both parities, as designing every length from 1 up would find them: where
// an even length meets below the odd ones (the stop band reaching half the rate), and where a
// longer design swells in the search's doubling (a wide transition). The two shorter lengths
// the report names miss.
TEST(CicCompensatorTest, TheFewestTapsAreTheShortestOfAnyLength) {
    struct Case {
        double rate;
        int decimate;
        double passHz, stopHz, attenuationDb;
        int fewest;
    } cases[] = {
        {96000.0, 2, 20000.0, 28000.0, 80.0, 44},
        {48000.0, 1, 10000.0, 14000.0, 60.0, 37},
    };
    for (const Case& c : cases) {
        CompensatorAsk ask;
        ask.cic = {4, 16, 1};
        ask.rate = c.rate;
        ask.decimate = c.decimate;
        ask.passHz = c.passHz;
        ask.stopHz = c.stopHz;
        ask.rippleDb = 0.1;
        ask.attenuationDb = c.attenuationDb;
        const Requirements requirements = CompensatorRequirements(ask);
        int shortest = 0;
        for (int taps = 1; shortest == 0; ++taps) {
            const EquirippleResult design = DesignEquiripple(requirements, taps);
            if (HasTaps(design.status) && MeasureCompensator(ask, design.taps).met)
                shortest = taps;
        }
        EXPECT_EQ(shortest, c.fewest);
        const Compensator made = DesignCompensator(ask);
        EXPECT_EQ(static_cast<int>(made.taps.size()), shortest);
        ASSERT_EQ(made.shorter.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(made.shorter[i].first, shortest - 1 - i);
            EXPECT_FALSE(made.shorter[i].second.met);
        }
    }
}

TEST(CicCompensatorTest, RefusesWhatCannotBeDesigned) {
    CompensatorAsk good;
    good.cic = {3, 8, 1};
    good.rate = 100.0;
    good.passHz = 10.0;
    good.stopHz = 40.0;
    good.rippleDb = 0.1;
    good.attenuationDb = 60.0;
    ASSERT_FALSE(CompensatorProblem(good));
    struct Case {
        void (*spoil)(CompensatorAsk&);
    } cases[] = {
        {[](CompensatorAsk& a) { a.cic.stages = 0; }},
        {[](CompensatorAsk& a) { a.cic.delay = 0; }},
        {[](CompensatorAsk& a) { a.cic.factor = 1; }},
        {[](CompensatorAsk& a) { a.stopHz = 5.0; }},
        {[](CompensatorAsk& a) { a.stopHz = 50.0; }},
        {[](CompensatorAsk& a) { a.rippleDb = 0.0; }},
        {[](CompensatorAsk& a) { a.attenuationDb = -1.0; }},
        {[](CompensatorAsk& a) { a.cic.delay = 10; }},
    };
    for (const Case& c : cases) {
        CompensatorAsk ask = good;
        c.spoil(ask);
        EXPECT_TRUE(CompensatorProblem(ask));
    }
}

} // namespace
} // namespace taplore
