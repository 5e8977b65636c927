// What the requirements window shows of a design: band rows whose digits tell reached from
// asked, the shorter lengths' shortfalls, a view's span in words, the part of the magnitude
// shown with and without the zoom.
#include "core/dialog/requirements_view.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RequirementsView, BandRowsShowDigitsEnoughToTellReachedFromAsked) {
    const struct {
        taplore::BandFigure figure;
        const char *asked, *reached, *margin;
    } cases[] = {
        {{true, 0.01, 0.0092, 0.0008, true}, "0.01 dB", "0.0092 dB", "0.0008 dB"},
        {{false, 60, 61.4234, 1.4234, true}, "60 dB", "61.42 dB", "1.42 dB"},
        {{false, 96, 95.99, -0.01, false}, "96 dB", "95.99 dB", "-0.01 dB"},
        {{true, 0.1, kNaN, kNaN, false}, "0.1 dB", "nan dB", "nan dB"},
        {{false, 60, kInf, kInf, true}, "60 dB", "inf dB", "inf dB"},
    };
    for (const auto& c : cases) {
        const taplore::FigureTexts texts = taplore::FigureTextsOf(c.figure);
        EXPECT_EQ(texts.asked, c.asked);
        EXPECT_EQ(texts.reached, c.reached);
        EXPECT_EQ(texts.margin, c.margin);
    }
    EXPECT_EQ(taplore::BandTitle({1500, 4000, 0, 1, 60}), "Stop, attenuation, 1500 to 4000 Hz");
    EXPECT_EQ(taplore::BandTitle({0, 1000.5, 1, 1, 0.1}), "Pass, ripple, 0 to 1000.5 Hz");
}

TEST(RequirementsView, ARangeInWordsSkipsWhatIsNotFinite) {
    const taplore::ViewInfo delay{taplore::View::groupDelay, "group-delay", "Group delay",
                                  "samples", true};
    const taplore::ViewInfo impulse{taplore::View::impulse, "impulse", "Impulse response", "",
                                    false};
    const std::vector<double> values{kNaN, -0.25, kInf, 0.5, -kInf};
    EXPECT_EQ(taplore::RangeSummary(delay, values), "Group delay from -0.25 to 0.5 samples.");
    EXPECT_EQ(taplore::RangeSummary(impulse, values), "Impulse response from -0.25 to 0.5.");
    EXPECT_EQ(taplore::RangeSummary(impulse, std::vector<double>{kNaN}),
              "Impulse response: no finite value.");
}

// A low-pass of 0.1 dB ripple and 60 dB at 8 kHz; a band-stop's two pass bands span the axis.
TEST(RequirementsView, TheZoomShowsThePassBandsFrequenciesAndLevels) {
    const std::vector<taplore::RequiredBand> lowPass{{0, 1000, -0.05, 0.05},
                                                     {1500, 4000, -kInf, -60}};
    const std::vector<taplore::RequiredBand> bandPass{
        {0, 500, -kInf, -80}, {1000, 2000, -0.5, 0.5}, {2500, 4000, -kInf, -65}};
    const std::vector<taplore::RequiredBand> bandStop{
        {0, 500, -0.05, 0.05}, {1000, 2000, -kInf, -60}, {2500, 4000, -0.05, 0.05}};
    const struct {
        const std::vector<taplore::RequiredBand>* bands;
        bool zoomed;
        taplore::MagnitudeRanges ranges;
    } cases[] = {
        {&lowPass, false, {-100, 10, 0, 4000}},  {&lowPass, true, {-0.1, 0.1, 0, 1050}},
        {&bandPass, true, {-1, 1, 950, 2050}},   {&bandPass, false, {-120, 10, 0, 4000}},
        {&bandStop, true, {-0.1, 0.1, 0, 4000}},
    };
    for (const auto& c : cases) {
        const taplore::MagnitudeRanges got = taplore::MagnitudeRangesOf(*c.bands, 8000, c.zoomed);
        EXPECT_DOUBLE_EQ(got.dbLow, c.ranges.dbLow);
        EXPECT_DOUBLE_EQ(got.dbHigh, c.ranges.dbHigh);
        EXPECT_DOUBLE_EQ(got.hzLow, c.ranges.hzLow);
        EXPECT_DOUBLE_EQ(got.hzHigh, c.ranges.hzHigh);
    }
}

} // namespace
