// The words a screen reader gets for the plot: edges, peak and stop band of known designs, and
// hand-worked levels for the exact figures and sentences.
#include "core/dialog/response_summary.h"

#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using taplore::DescribeResponse;
using taplore::ResponseSummary;
using taplore::SummariseResponse;

constexpr double kRate = 8000.0;
constexpr int kOrder = 511;
// A Hamming window's transition is about 3.3 / N of the rate wide, centred on the cutoff, so
// the -3 dB edge lies within half of it on the pass band's side. Its stop band stays at least
// 53 dB down; the highest level found there is a side lobe, far above the dips.
constexpr double kHalfTransitionHz = 3.3 * kRate / kOrder / 2;
constexpr double kHammingStopDb = -53.0;
constexpr double kSideLobeFloorDb = -70.0;

ResponseSummary SummaryOfDesign(double lowHz, double highHz) {
    const double f1 = NormalisedCutoff(lowHz, kRate);
    const double f2 = NormalisedCutoff(highHz, kRate);
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_EQ(DesignFilter(coef, count, kOrder, f1, f2), kOrder);
    SpectrumLevels levels;
    EXPECT_EQ(ComputeLevelsDb(coef.get(), count, levels), kSpectrumBins);
    return SummariseResponse(levels.data(), kSpectrumBins, kRate, SelectBand(f1, f2));
}

// An edge near a cutoff, on the pass band's side of it.
void ExpectEdge(const std::optional<double>& edge, double cutoffHz, bool passAbove) {
    ASSERT_TRUE(edge.has_value()) << "no edge near " << cutoffHz << " Hz";
    EXPECT_LT(std::fabs(*edge - cutoffHz), kHalfTransitionHz) << cutoffHz;
    EXPECT_EQ(*edge > cutoffHz, passAbove) << *edge << " Hz for a cutoff at " << cutoffHz;
}

TEST(ResponseSummary, EdgesOfEachBandTypeLieAtTheirCutoffs) {
    struct Case {
        const char* name;
        double lowHz, highHz;
        BandType band;
    };
    const Case cases[] = {{"low-pass", 0, 1200, BandType::lowPass},
                          {"high-pass", 2400, 4000, BandType::highPass},
                          {"band-pass", 400, 2400, BandType::bandPass},
                          {"band-stop", 3200, 800, BandType::bandStop}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ResponseSummary s = SummaryOfDesign(c.lowHz, c.highHz);
        EXPECT_EQ(s.band, c.band);
        EXPECT_NEAR(s.peakDb, 0.0, 0.1);
        ASSERT_TRUE(s.stopBandDb.has_value());
        EXPECT_LT(*s.stopBandDb, kHammingStopDb);
        EXPECT_GT(*s.stopBandDb, kSideLobeFloorDb);
        const auto& bands = s.passBands;
        switch (c.band) {
        case BandType::lowPass:
            ASSERT_EQ(bands.size(), 1u);
            EXPECT_FALSE(bands[0].lowEdgeHz);
            ExpectEdge(bands[0].highEdgeHz, c.highHz, false);
            break;
        case BandType::highPass:
            ASSERT_EQ(bands.size(), 1u);
            ExpectEdge(bands[0].lowEdgeHz, c.lowHz, true);
            EXPECT_FALSE(bands[0].highEdgeHz);
            break;
        case BandType::bandPass:
            ASSERT_EQ(bands.size(), 1u);
            ExpectEdge(bands[0].lowEdgeHz, c.lowHz, true);
            ExpectEdge(bands[0].highEdgeHz, c.highHz, false);
            break;
        default: // band-stop: the stop band lies between the high and the low cutoff
            ASSERT_EQ(bands.size(), 2u);
            EXPECT_FALSE(bands[0].lowEdgeHz);
            ExpectEdge(bands[0].highEdgeHz, c.highHz, false);
            ExpectEdge(bands[1].lowEdgeHz, c.lowHz, true);
            EXPECT_FALSE(bands[1].highEdgeHz);
        }
    }
}

// Rate 1024: bin k is k Hz. Bin 0 is not plotted, so its 99 dB is no peak.
TEST(ResponseSummary, HandWorkedLevelsGiveExactFiguresAndSentences) {
    struct Case {
        std::vector<double> levels;
        BandType band;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        // Edge halfway between -2 and -4 dB; the transition ends at the dip of -60 dB.
        {{99, 0, -1, -2, -4, -30, -60, -40, -45, -70, -50, -80},
         BandType::lowPass,
         "Low-pass. Pass band at -3 dB: up to 3.5 Hz. Peak 0.0 dB. Stop band at most -40.0 dB."},
        // Edges at 1 + 3/10 and 6 + 62/64.5 bins; only bin 4 lies past both transitions.
        {{0, 0, -10, -60, -20, -70, -65, -0.5, 0},
         BandType::bandStop,
         "Band-stop. Pass bands at -3 dB: up to 1.3 Hz and from 7.0 Hz. Peak 0.0 dB. Stop band "
         "at most -20.0 dB."},
        // 3 dB below a peak of -1.5 dB: edges at 3 + 1.5/4 and 5 + 3/5.5 bins.
        {{0, -40, -60, -6, -2, -1.5, -7, -50, -45},
         BandType::bandPass,
         "Band-pass. Pass band at -3 dB: 3.4 Hz to 5.5 Hz. Peak -1.5 dB. Stop band at most "
         "-40.0 dB."},
        // A fall to the end of the plot is all transition.
        {{0, 0, -2, -4, -80},
         BandType::lowPass,
         "Low-pass. Pass band at -3 dB: up to 2.5 Hz. Peak 0.0 dB. No stop band."},
        {{0, 0, 0, 0},
         BandType::lowPass,
         "Low-pass. Pass band at -3 dB: the whole plot. Peak 0.0 dB. No stop band."},
        {{0, -inf, -inf, -inf},
         BandType::none,
         "No band type matched. The level is -inf dB at every frequency."},
        {{0, nan, nan, nan}, BandType::lowPass, "Low-pass. The levels are not finite numbers."},
        {{0, -3, nan, 0}, BandType::highPass, "High-pass. The levels are not finite numbers."},
    };
    for (const Case& c : cases) {
        const ResponseSummary s =
            SummariseResponse(c.levels.data(), static_cast<int>(c.levels.size()), 1024.0, c.band);
        EXPECT_EQ(DescribeResponse(s), c.text);
    }
}

} // namespace
