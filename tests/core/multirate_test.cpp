// Rate changes: the polyphase phases against direct filtering, the stages' requirements and
// ripple share, the plans compared, and the cascade's response against its requirements,
// measured and simulated in time.
#include "core/design/requirements_design.h"
#include "core/formats/multirate_report.h"
#include "core/multirate/polyphase.h"
#include "core/multirate/stage_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace {

using namespace taplore;

constexpr double kEps = std::numeric_limits<double>::epsilon();

// The worked example: 3.072 MHz down to 48 kHz, 20 kHz kept within 0.1 dB, 100 dB against
// aliasing.
RateChangeAsk Example(RateChange change = RateChange::decimate) {
    RateChangeAsk ask;
    ask.change = change;
    ask.factor = 64;
    ask.rate = 3072000;
    ask.passHz = 20000;
    ask.rippleDb = 0.1;
    ask.attenuationDb = 100;
    return ask;
}

// A smaller one whose single stage designs in a moment: 48 kHz down to 6 kHz.
RateChangeAsk Small(RateChange change = RateChange::decimate) {
    RateChangeAsk ask = Example(change);
    ask.factor = 8;
    ask.rate = 48000;
    ask.passHz = 2000;
    ask.attenuationDb = 80;
    return ask;
}

StagesAsk Plan(std::vector<int> factors) {
    return {StagesAsk::Kind::factors, static_cast<int>(factors.size()), std::move(factors)};
}

std::vector<double> Noise(std::size_t n) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-1, 1);
    std::vector<double> x(n);
    for (double& v : x)
        v = uniform(random);
    return x;
}

// y[n] = sum h[k] x[n - k], zeros before the start.
double Convolved(const std::vector<double>& h, const std::vector<double>& x, std::size_t n) {
    double sum = 0;
    for (std::size_t k = 0; k < h.size() && k <= n; ++k)
        sum += h[k] * x[n - k];
    return sum;
}

// Filter, then keep every M-th: the cascade's decimation done the direct way.
std::vector<double> Decimated(const std::vector<double>& h, const std::vector<double>& x, int m) {
    std::vector<double> y;
    for (std::size_t n = 0; n < x.size(); n += static_cast<std::size_t>(m))
        y.push_back(Convolved(h, x, n));
    return y;
}

std::vector<double> Taps(const RateChangeAsk& ask, const StagesAsk& stages = {}) {
    const MultirateDesign design = DesignMultirate(ask, stages);
    EXPECT_TRUE(HasTaps(design.status)) << design.message;
    return design.stages.front().design.taps;
}

TEST(Polyphase, DecimatingThroughThePhasesGivesTheDirectSamples) {
    RateChangeAsk ask = Small();
    ask.factor = 5;
    ask.passHz = 1500;
    const std::vector<double> h = Taps(ask);
    const std::vector<std::vector<double>> phases = PolyphaseSplit(h, 5);
    const std::vector<double> x = Noise(2000);
    const std::vector<double> direct = Decimated(h, x, 5);
    // Output m: phase p sums its taps over the input branch x[5m - p - 5j].
    for (std::size_t m = 0; m < direct.size(); ++m) {
        double sum = 0, bound = 0;
        for (std::size_t p = 0; p < phases.size(); ++p)
            for (std::size_t j = 0; j < phases[p].size(); ++j) {
                const long long at = 5LL * static_cast<long long>(m) - static_cast<long long>(p) -
                                     5LL * static_cast<long long>(j);
                if (at >= 0) {
                    sum += phases[p][j] * x[static_cast<std::size_t>(at)];
                    bound += std::fabs(phases[p][j] * x[static_cast<std::size_t>(at)]);
                }
            }
        // Two orders of one sum: each differs from the exact sum by at most its rounding.
        EXPECT_LE(std::fabs(sum - direct[m]), 2 * h.size() * kEps * bound) << m;
    }
}

TEST(Polyphase, InterpolatingThroughThePhasesGivesTheDirectSamplesExactly) {
    const int l = 4;
    const std::vector<double> h = Taps(Small(RateChange::interpolate));
    const std::vector<std::vector<double>> phases = PolyphaseSplit(h, l);
    const std::vector<double> x = Noise(500);
    std::vector<double> stuffed(x.size() * l, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        stuffed[i * l] = x[i];
    for (std::size_t n = 0; n < stuffed.size(); ++n) {
        // Output n is phase n mod L over the input samples up to n / L.
        const std::vector<double>& phase = phases[n % l];
        double sum = 0;
        for (std::size_t j = 0; j < phase.size() && j <= n / l; ++j)
            sum += phase[j] * x[n / l - j];
        // The same products in the same order; the direct sum's others are exact zeros.
        EXPECT_EQ(sum, Convolved(h, stuffed, n)) << n;
    }
}

TEST(Polyphase, PhasesTakeTapsInTurn) {
    const std::vector<double> taps{0, 1, 2, 3, 4, 5, 6};
    const std::vector<std::vector<double>> phases = PolyphaseSplit(taps, 3);
    EXPECT_EQ(phases, (std::vector<std::vector<double>>{{0, 3, 6}, {1, 4}, {2, 5}}));
}

TEST(StagePlan, StagesAreReadFromTheirText) {
    using Kind = StagesAsk::Kind;
    const struct {
        const char* text;
        bool read;
        Kind kind;
        int count;
        std::vector<int> factors;
    } cases[] = {
        {"auto", true, Kind::automatic, 0, {}},
        {"1", true, Kind::one, 1, {}},
        {"3", true, Kind::count, 3, {}},
        {"4x4x3", true, Kind::factors, 3, {4, 4, 3}},
        {"2x2x2x2", true, Kind::factors, 4, {2, 2, 2, 2}},
        {"0", false, Kind::one, 0, {}},
        {"5", false, Kind::one, 0, {}},
        {"4x1", false, Kind::one, 0, {}},
        {"4x", false, Kind::one, 0, {}},
        {"x4", false, Kind::one, 0, {}},
        {"2x2x2x2x2", false, Kind::one, 0, {}},
        {"Auto", false, Kind::one, 0, {}},
        {"4*4", false, Kind::one, 0, {}},
    };
    for (const auto& c : cases) {
        const std::optional<StagesAsk> stages = ParseStages(c.text);
        ASSERT_EQ(stages.has_value(), c.read) << c.text;
        if (!stages)
            continue;
        EXPECT_EQ(stages->kind, c.kind) << c.text;
        EXPECT_EQ(stages->count, c.count) << c.text;
        EXPECT_EQ(stages->factors, c.factors) << c.text;
    }
}

TEST(StagePlan, FactoringsAreEveryOrderedSplitWithinTheStages) {
    const std::vector<std::vector<int>> twelve = Factorings(12, 3);
    const std::vector<std::vector<int>> expected{
        {12}, {6, 2}, {4, 3}, {3, 4}, {3, 2, 2}, {2, 6}, {2, 3, 2}, {2, 2, 3},
    };
    EXPECT_EQ(twelve, expected);
    EXPECT_EQ(Factorings(7, 4), (std::vector<std::vector<int>>{{7}}));
    // 2^6 in up to four factors: the compositions of 6 into at most four parts.
    EXPECT_EQ(Factorings(64, 4).size(), 1u + 5u + 10u + 10u);
}

TEST(RateChange, TheRippleIsSharedSoThatTheCascadeKeepsIt) {
    for (double ripple : {0.01, 0.1, 1.0, 3.0})
        for (int k = 1; k <= 4; ++k) {
            const double whole = PassDeviation(ripple), d = SharedPassDeviation(ripple, k);
            EXPECT_LE(std::pow(1 + d, k), 1 + whole + 8 * kEps) << ripple << " " << k;
            EXPECT_GE(std::pow(1 - d, k), 1 - whole - 8 * kEps) << ripple << " " << k;
            // Not more cautious than it need be: one of the two bounds is met with equality.
            EXPECT_NEAR(std::max(std::pow(1 + d, k) - 1, 1 - std::pow(1 - d, k)), whole,
                        whole * 1e-12);
        }
}

TEST(RateChange, EachStageStopsWhatWouldFoldOntoTheProtectedBand) {
    const struct {
        AliasRule alias;
        int stage;
        double stopHz, halfRate;
    } cases[] = {
        // 4x4x4: 3072 kHz, 768 kHz, 192 kHz, then 48 kHz.
        {AliasRule::passBand, 0, 768000 - 20000, 1536000},
        {AliasRule::passBand, 1, 192000 - 20000, 384000},
        {AliasRule::passBand, 2, 48000 - 20000, 96000},
        {AliasRule::none, 0, 768000 - 24000, 1536000},
        {AliasRule::none, 2, 24000, 96000},
    };
    for (const auto& c : cases) {
        RateChangeAsk ask = Example();
        ask.alias = c.alias;
        const StageSpot spot = StageSpots(ask, {4, 4, 4})[c.stage];
        const Requirements r = StageRequirements(ask, spot, 3);
        ASSERT_EQ(r.bands.size(), 2u);
        EXPECT_EQ(r.bands[0].highHz, 20000);
        EXPECT_EQ(r.bands[1].lowHz, c.stopHz) << c.stage;
        EXPECT_EQ(r.bands[1].highHz, c.halfRate) << c.stage;
        EXPECT_NEAR(PassDeviation(r.rippleDb), SharedPassDeviation(0.1, 3), 1e-15);
        EXPECT_GT(r.attenuationDb, 100);
    }
}

TEST(RateChange, MultiplicationsAndLatencyCountEachStageAtItsOwnRate) {
    // 12 taps at the input rate over 4, 20 over 16, 100 over 64.
    EXPECT_EQ(MultiplicationsPerSample({4, 4, 4}, {12, 20, 100}), 3 + 1.25 + 1.5625);
    std::vector<Stage> stages(2);
    stages[0].spot = {4, 3072000};
    stages[0].design.taps.assign(13, 0.0);
    stages[1].spot = {2, 768000};
    stages[1].design.taps.assign(31, 0.0);
    // 6 samples, then 15 samples at a quarter of the rate.
    EXPECT_EQ(LatencyAtHighRate(stages), 6 + 15 * 4);
}

TEST(RateChange, OneStageIsThePlainDesignOfItsBands) {
    const RateChangeAsk ask = Small();
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 2000, 1, 1}, {6000 - 2000, 24000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 80;
    EXPECT_EQ(Taps(ask), DesignToTolerances(r, DefaultMethod(), 0).taps);
}

TEST(RateChange, AnInterpolatorHasTheGainOfItsFactor) {
    const std::vector<double> h = Taps(Small(RateChange::interpolate));
    double sum = 0;
    for (double tap : h)
        sum += tap;
    EXPECT_NEAR(sum, 8, 8 * PassDeviation(0.1));
    const MultirateDesign design = DesignMultirate(Small(RateChange::interpolate), Plan({4, 2}));
    ASSERT_TRUE(HasTaps(design.status)) << design.message;
    EXPECT_TRUE(design.cascade.met);
    EXPECT_NEAR(design.cascade.highestPass, 1, PassDeviation(0.1));
}

TEST(StagePlan, EveryCascadeMeetsTheWholeRequirements) {
    const struct {
        AliasRule alias;
        StagesAsk stages;
    } cases[] = {
        {AliasRule::passBand, Plan({4, 4, 4})},
        {AliasRule::passBand, Plan({16, 4})},
        {AliasRule::passBand, Plan({2, 32})},
        {AliasRule::passBand, Plan({2, 2, 2, 8})},
        {AliasRule::none, Plan({8, 8})},
        {AliasRule::none, {StagesAsk::Kind::automatic, 0, {}}},
    };
    for (const auto& c : cases) {
        RateChangeAsk ask = Example();
        ask.alias = c.alias;
        const MultirateDesign design = DesignMultirate(ask, c.stages);
        ASSERT_TRUE(HasTaps(design.status)) << design.message;
        EXPECT_TRUE(design.cascade.met) << FormatMultirateReport(design).back();
        EXPECT_LE(design.cascade.rippleDb, 0.1);
        EXPECT_GE(design.cascade.attenuationDb, 100);
    }
}

// The amplitude of a tone at hz after the cascade, filtered and decimated stage by stage in
// time, its start (the filters' fill) left out.
double ToneThrough(const MultirateDesign& design, double hz, std::size_t outputs) {
    std::vector<double> x(outputs * design.ask.factor);
    for (std::size_t n = 0; n < x.size(); ++n)
        x[n] = std::cos(2 * std::numbers::pi * hz / design.ask.rate * static_cast<double>(n));
    for (const Stage& stage : design.stages)
        x = Decimated(stage.design.taps, x, stage.spot.factor);
    double peak = 0;
    for (std::size_t n = x.size() / 2; n < x.size(); ++n)
        peak = std::max(peak, std::fabs(x[n]));
    return peak;
}

TEST(StagePlan, TheCascadeSimulatedKeepsThePassBandAndStopsWhatFoldsIntoIt) {
    const MultirateDesign design = DesignMultirate(Example(), Plan({8, 4, 2}));
    ASSERT_TRUE(HasTaps(design.status)) << design.message;
    const double pass = PassDeviation(0.1), stop = StopDeviation(100);
    // Tones in the pass band, and tones that fold onto it from the alias bands around
    // multiples of 48 kHz; a tone's peak over a few periods is its amplitude within a little.
    for (double hz : {1000.0, 10000.0, 19500.0}) {
        const double a = ToneThrough(design, hz, 600);
        EXPECT_LE(a, 1 + pass) << hz;
        EXPECT_GE(a, (1 - pass) * 0.995) << hz;
    }
    for (double hz :
         {48000.0 - 19000, 48000.0 + 5000, 96000.0 + 19000, 768000.0 - 3000, 1536000.0 - 7000})
        EXPECT_LE(ToneThrough(design, hz, 600), stop) << hz;
}

TEST(StagePlan, AutoTakesTheCheapestPlanItDesignedAndNoMoreThanOneStage) {
    for (const RateChangeAsk& ask : {Small(), Example()}) {
        const MultirateDesign design = DesignMultirate(ask, {StagesAsk::Kind::automatic, 0, {}});
        ASSERT_TRUE(HasTaps(design.status)) << design.message;
        std::vector<int> factors, taps;
        for (const Stage& stage : design.stages) {
            factors.push_back(stage.spot.factor);
            taps.push_back(static_cast<int>(stage.design.taps.size()));
        }
        const double chosen = MultiplicationsPerSample(factors, taps);
        int designed = 0;
        for (const PlanCost& plan : design.compared) {
            if (!plan.designed)
                continue;
            ++designed;
            EXPECT_LE(chosen, plan.multiplications);
        }
        EXPECT_EQ(designed, std::min<int>(kPlansDesigned, design.compared.size()));
        EXPECT_EQ(design.compared.size(), Factorings(ask.factor, kMostStages).size());
        // Against the single stage, designed.
        const MultirateDesign one = DesignMultirate(ask, {});
        ASSERT_TRUE(HasTaps(one.status));
        EXPECT_LE(chosen, one.oneStage.multiplications);
    }
}

TEST(StagePlan, PlansThatAreNoFactoringAreRefused) {
    const struct {
        RateChangeAsk ask;
        StagesAsk stages;
        std::string message;
    } cases[] = {
        {Example(), Plan({4, 4, 3}), "the factors 4x4x3 multiply to 48, not 64"},
        {[] {
             RateChangeAsk ask = Small();
             ask.factor = 7;
             ask.passHz = 1000;
             return ask;
         }(),
         {StagesAsk::Kind::count, 2, {}},
         "7 is no product of 2 factors of 2 or more"},
        {[] {
             RateChangeAsk ask = Small();
             ask.factor = 1;
             return ask;
         }(),
         {},
         "the factor must be 2 or more, not 1"},
        {[] {
             RateChangeAsk ask = Small();
             ask.passHz = 3000;
             return ask;
         }(),
         {},
         "the pass band must end above 0 and below 3000 Hz, half the low rate"},
    };
    for (const auto& c : cases) {
        const MultirateDesign design = DesignMultirate(c.ask, c.stages);
        EXPECT_EQ(design.status, DesignStatus::refused);
        EXPECT_EQ(design.message, c.message);
    }
}

} // namespace
