// Pass bands whose gain is a line, their ripple relative to it: measured against the line, met
// by the fewest taps of the methods that design bands, and refused where they cannot be.
#include "core/design/band_measure.h"
#include "core/design/fewest_taps.h"
#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"
#include "core/formats/response_plot.h"
#include "filter_response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace taplore;

Band SlopedPass(double low, double high, double from, double to) {
    Band band{low, high, from, 1.0};
    band.endGain = to;
    band.relative = true;
    return band;
}

Requirements Sloped(double rate, Band pass, Band stop, double rippleDb, double attenuationDb) {
    Requirements r;
    r.rate = rate;
    r.bands = {pass, stop};
    r.rippleDb = rippleDb;
    r.attenuationDb = attenuationDb;
    return r;
}

// The pre-emphasis low-pass: gain 1 at 0 Hz rising to 2 at 8 kHz, nothing from 12 kHz.
Requirements PreEmphasis() {
    return Sloped(48000, SlopedPass(0, 8000, 1, 2), {12000, 24000, 0.0}, 0.5, 60);
}

// The largest share of its tolerance any band uses, summed from the taps on 8000 points a band
// and its edges: the pass band's distance from its line over dp times the line, the stop band's
// magnitude over ds. 1 or less keeps every tolerance.
double LargestShare(const std::vector<double>& taps, const Requirements& r) {
    double share = 0.0;
    for (const Band& band : r.bands) {
        for (int i = 0; i <= 8000; ++i) {
            const double hz = band.lowHz + (band.highHz - band.lowHz) * i / 8000;
            const double magnitude =
                std::abs(filter_response::Response(taps, filter_response::Radians(hz, r.rate)));
            const double line = filter_response::AtFrequency(band, hz).gain;
            share = std::max(share, band.relative ? std::fabs(magnitude - line) /
                                                        (PassDeviation(r.rippleDb) * line)
                                                  : magnitude / StopDeviation(r.attenuationDb));
        }
    }
    return share;
}

TEST(SlopedPass, ARelativeBandIsMeasuredAgainstItsLineRelativeToIt) {
    // A gain of 1.2 everywhere against the line from 1 to 2: 0.2 off at 0 Hz, 0.8 at the top,
    // which is 0.4 of the gain asked there.
    Requirements r;
    r.rate = 2;
    r.bands = {SlopedPass(0, 1, 1, 2)};
    EXPECT_NEAR(MeasureDeviations({1.2}, r)[0], 0.4, 1e-15);
    EXPECT_NEAR(MeasureDeviations({1.2}, Absolute(r))[0], 0.8, 1e-15);
    r.bands[0].relative = false; // a band of any gain is measured as it always was
    EXPECT_NEAR(MeasureDeviations({1.2}, r)[0], 0.8, 1e-15);
}

TEST(SlopedPass, ThePreEmphasisMeetsAndTheNextShorterLengthOfEachParityMisses) {
    const Requirements r = PreEmphasis();
    for (const char* name : {"equiripple", "least-squares"}) {
        const Method& method = *FindMethod(name);
        const RequirementsDesign design = DesignFewestTaps(r, method);
        ASSERT_TRUE(HasTaps(design.status)) << name << ": " << design.message;
        EXPECT_TRUE(Meets(design.report)) << name;
        EXPECT_LE(LargestShare(design.taps, r), 1.0) << name;
        const int taps = static_cast<int>(design.taps.size());
        ASSERT_EQ(design.report.shorter.size(), 2u) << name;
        for (int shorter : {taps - 1, taps - 2}) {
            const RequirementsDesign miss = DesignAtLength(r, method, shorter);
            ASSERT_TRUE(HasTaps(miss.status)) << name << " " << shorter;
            EXPECT_FALSE(Meets(miss.report)) << name << " " << shorter;
            EXPECT_GT(LargestShare(miss.taps, r), 1.0) << name << " " << shorter;
        }
    }
}

TEST(SlopedPass, TheFewestTapsAreWhatDesigningEveryLengthGives) {
    // Falling and rising lines, short enough to design every length.
    const Requirements cases[] = {
        Sloped(1, SlopedPass(0, 0.1, 1, 0.5), {0.2, 0.5, 0.0}, 1, 30),
        Sloped(1, SlopedPass(0, 0.15, 0.5, 1.5), {0.25, 0.5, 0.0}, 2, 40),
    };
    for (const Requirements& r : cases) {
        const Method& method = DefaultMethod();
        const RequirementsDesign fewest = DesignFewestTaps(r, method);
        ASSERT_TRUE(HasTaps(fewest.status)) << fewest.message;
        int first = 0;
        for (int taps = 1; first == 0; ++taps)
            if (Meets(DesignAtLength(r, method, taps).report))
                first = taps;
        EXPECT_EQ(static_cast<int>(fewest.taps.size()), first);
    }
}

TEST(SlopedPass, ThePlotShadesTheToleranceRelativeToTheLine) {
    RequirementsReport report;
    report.requirements = PreEmphasis();
    const RequiredBand pass = RequiredBands(report).front();
    const double dp = PassDeviation(0.5);
    EXPECT_DOUBLE_EQ(pass.floorDb, 20 * std::log10(1 - dp));
    EXPECT_DOUBLE_EQ(pass.ceilingDb, 20 * std::log10(2 * (1 + dp)));
}

TEST(SlopedPass, DesignsThatCannotFollowALineRefuseIt) {
    // A band of any gain outside a relative one is still no pass band.
    Requirements any = PreEmphasis();
    any.bands[0].relative = false;
    EXPECT_EQ(DesignFewestTaps(any, DefaultMethod()).message,
              "a band must be a pass band (gain 1) or a stop band (gain 0)");
    EXPECT_EQ(DesignToTolerances(PreEmphasis(), *FindMethod("kaiser"), 0).message,
              "this method designs flat pass bands only: a sloped one needs a method that "
              "designs bands of any gain");
    EXPECT_EQ(DesignMinimumPhase(PreEmphasis(), DefaultMethod(), 0).design.message,
              "a minimum-phase design takes flat pass bands only, not a sloped one");
}

} // namespace
