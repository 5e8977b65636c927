// A rate change's cascade at the high rate: the one filter it equals, its levels against its
// stages' own responses, and the frequencies that fold onto the pass band.
#include "core/multirate/cascade_response.h"

#include "core/design/band_measure.h"
#include "core/formats/multirate_report.h"
#include "core/formats/response_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using namespace taplore;

std::vector<double> RandomTaps(std::mt19937& random, int count) {
    std::uniform_real_distribution<double> tap(-1.0, 1.0);
    std::vector<double> taps(count);
    for (double& t : taps)
        t = tap(random);
    return taps;
}

double Db(double magnitude) {
    return 20 * std::log10(magnitude);
}

// Stage i's level at bin k is its own response at the frequency k ratio / points of its rate,
// repeating every stage rate, and the cascade's is their sum in dB: the product of the stages.
TEST(CascadeResponse, TheCascadeIsTheProductOfEachStageAtItsOwnRate) {
    std::mt19937 random(7);
    const struct {
        std::vector<int> ratios, lengths;
        std::vector<double> gains;
    } cases[] = {
        {{1}, {31}, {1.0}},
        {{1, 3, 6}, {23, 11, 9}, {1.0, 1.0, 1.0}}, // decimate by 3, 2, then more
        {{1, 2, 4}, {15, 8, 6}, {2.0, 2.0, 4.0}},  // an interpolator's gains
    };
    for (const auto& c : cases) {
        std::vector<CascadeStage> stages;
        for (std::size_t i = 0; i < c.ratios.size(); ++i)
            stages.push_back({RandomTaps(random, c.lengths[i]), c.ratios[i], c.gains[i]});
        const int points = 1024;
        CascadeLevels levels;
        ASSERT_TRUE(ComputeCascadeLevels(stages, points, levels));
        ASSERT_EQ(levels.cascade.size(), 512u);
        ASSERT_EQ(levels.stages.size(), stages.size());
        for (int k = 0; k < points / 2; k += 7) {
            double product = 0.0;
            for (std::size_t i = 0; i < stages.size(); ++i) {
                const double omega = 2 * std::numbers::pi * k * stages[i].ratio / points;
                const double own = Db(MagnitudeAt(stages[i].taps, omega) / stages[i].gain);
                EXPECT_NEAR(levels.stages[i][k], own, 1e-9) << "stage " << i << " bin " << k;
                product += own;
            }
            EXPECT_NEAR(levels.cascade[k], product, 1e-8) << "bin " << k;
        }
    }
}

TEST(CascadeResponse, TheEquivalentFilterSpansEveryStageAndDelaysAsTheReportSays) {
    RateChangeAsk ask;
    ask.factor = 8;
    ask.rate = 48000;
    ask.passHz = 2000;
    ask.rippleDb = 0.1;
    ask.attenuationDb = 80;
    for (const RateChange change : {RateChange::decimate, RateChange::interpolate}) {
        ask.change = change;
        const MultirateDesign design = DesignMultirate(ask, {StagesAsk::Kind::factors, 2, {4, 2}});
        ASSERT_TRUE(HasTaps(design.status)) << design.message;
        const std::vector<CascadeStage> stages = CascadeStages(design);
        ASSERT_EQ(stages.size(), 2u);
        EXPECT_EQ(stages[0].ratio, 1);
        EXPECT_EQ(stages[1].ratio, 4);
        EXPECT_EQ(CascadeGain(stages), change == RateChange::interpolate ? 8.0 : 1.0);
        const std::vector<double> taps = EquivalentTaps(stages);
        const double expected = (stages[0].taps.size() - 1) + 4.0 * (stages[1].taps.size() - 1) + 1;
        EXPECT_EQ(static_cast<double>(taps.size()), expected);
        EXPECT_EQ((taps.size() - 1) / 2.0, LatencyAtHighRate(design.stages));
        // Linear-phase stages make a linear-phase whole.
        for (std::size_t n = 0; n < taps.size(); ++n)
            EXPECT_NEAR(taps[n], taps[taps.size() - 1 - n], 1e-15) << n;
    }
}

TEST(CascadeResponse, AliasSpansLieAboutEveryMultipleOfTheLowRate) {
    const struct {
        int factor;
        double rate, passHz;
        AliasRule alias;
        std::vector<std::pair<double, double>> spans;
    } cases[] = {
        {8,
         48000,
         2000,
         AliasRule::passBand,
         {{4000, 8000}, {10000, 14000}, {16000, 20000}, {22000, 24000}}},
        {3, 30000, 4000, AliasRule::passBand, {{6000, 14000}}},
        {8, 48000, 2000, AliasRule::none, {{3000, 24000}}},
    };
    for (const auto& c : cases) {
        RateChangeAsk ask;
        ask.factor = c.factor;
        ask.rate = c.rate;
        ask.passHz = c.passHz;
        ask.alias = c.alias;
        const std::vector<FrequencySpan> spans = AliasSpans(ask);
        ASSERT_EQ(spans.size(), c.spans.size()) << c.factor;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            EXPECT_EQ(spans[i].lowHz, c.spans[i].first) << c.factor << " span " << i;
            EXPECT_EQ(spans[i].highHz, c.spans[i].second) << c.factor << " span " << i;
        }
    }
}

// The shading spans the plot from top to bottom where the maths puts the spans: 600 pixels for
// half the rate.
TEST(CascadeResponse, ThePlotShadesTheAliasSpansAndNamesEveryCurve) {
    RateChangeAsk ask;
    ask.factor = 8;
    ask.rate = 48000;
    ask.passHz = 2000;
    const std::vector<FrequencySpan> spans = AliasSpans(ask);
    const std::vector<double> flat(512, -20.0);
    const PlotCurve curves[] = {{flat, "cascade", CurveRole::whole},
                                {flat, "stage 1", CurveRole::part},
                                {flat, "stage 2", CurveRole::part}};
    const std::string svg =
        FormatCurvesSvg({"decimate by 8", {}, 48000}, curves, {}, {spans, "folds"}, 20);
    for (const char* rect : {"<rect x=\"100\" y=\"0\" width=\"100\" height=\"300\"/>",
                             "<rect x=\"250\" y=\"0\" width=\"100\" height=\"300\"/>",
                             "<rect x=\"550\" y=\"0\" width=\"50\" height=\"300\"/>"})
        EXPECT_NE(svg.find(rect), std::string::npos) << rect;
    for (const char* label : {">cascade<", ">stage 1<", ">stage 2<", ">folds<", ">-180<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    EXPECT_NE(svg.find(",40 "), std::string::npos) << "-20 dB one grid step down at 20 dB a step";
}

TEST(CascadeResponse, TheScaleReachesBelowTheDeepestLevel) {
    for (const auto& [deepest, dbPerStep] :
         {std::pair{60.0, 10}, {96.0, 10}, {110.0, 20}, {190.0, 20}, {200.0, 50}, {600.0, 100}})
        EXPECT_EQ(DbPerStepFor(deepest), dbPerStep) << deepest;
}

} // namespace
