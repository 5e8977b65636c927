// The requirements window's numbers: ticks to their step, read-outs to the plot's resolution,
// figures with digits enough to tell reached from asked, new band edges rounded to the rate.
#include "core/analysis/views.h"
#include "core/dialog/readings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using taplore::DecimalsFor;
using taplore::FigureDecimals;
using taplore::FixedText;
using taplore::ReadingText;
using taplore::TickText;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Readings, DecimalsFollowTheResolution) {
    const struct {
        double resolution;
        int decimals;
    } cases[] = {{1, 0},       {2.93, 0},   {0.1, 1}, {0.18, 1}, {0.01, 2},
                 {0.00067, 4}, {1e-20, 17}, {0, 0},   {kNaN, 0}, {kInf, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DecimalsFor(c.resolution), c.decimals) << c.resolution;
}

// 6 * 0.1 is 0.6000000000000001 in double: a tick is the step's multiple as a decimal.
TEST(Readings, TicksReadAsTheirStep) {
    const struct {
        double value, step;
        const char* text;
    } cases[] = {{6 * 0.1, 0.1, "0.6"},
                 {0.30000000000000004, 0.05, "0.30"},
                 {-1e-17, 0.1, "0.0"},
                 {20000, 5000, "20000"},
                 {-0.0004, 0.0002, "-0.0004"}};
    for (const auto& c : cases)
        EXPECT_EQ(TickText(c.value, c.step), c.text) << c.value << " by " << c.step;
}

TEST(Readings, TickStepsAreOneTwoOrFiveOfADecade) {
    const struct {
        double span, step;
    } cases[] = {{0.6, 0.1}, {4000, 1000}, {1.3, 0.5}, {65, 20}, {0, 1}, {kNaN, 1}, {kInf, 1}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(taplore::TickStep(c.span, 6), c.step) << c.span;
}

TEST(Readings, ReadOutsGroupThousandsAndUseATrueMinus) {
    const struct {
        double value, resolution;
        const char* unit;
        const char* text;
    } cases[] = {{12808.6123, 0.18, "Hz", "12,808.6 Hz"},
                 {-0.00291, 0.00067, "dB", "\u22120.0029 dB"},
                 {1234567, 1, "", "1,234,567"},
                 {-123456.4, 1, "samples", "\u2212123,456 samples"},
                 {-0.00001, 0.01, "dB", "0.00 dB"},
                 {-kInf, 0.1, "dB", "\u2212inf dB"},
                 {kNaN, 0.1, "dB", "nan dB"}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadingText(c.value, c.resolution, c.unit), c.text) << c.value;
}

// Reached 0.0092 dB against 0.01 asked read "0.01" with two decimals, and its margin "0".
TEST(Readings, FiguresShowEnoughDigitsToTellReachedFromAsked) {
    const struct {
        double reached, margin;
        int decimals;
    } cases[] = {{0.0092, 0.0008, 4}, {61.42, 1.42, 2}, {60.004, 0.004, 3},
                 {0.09999, 1e-5, 5},  {0.5, -0.4, 2},   {kNaN, kNaN, 2},
                 {kInf, kInf, 2},     {0.1, 0, 2},      {1e-30, 1e-30, 17}};
    for (const auto& c : cases) {
        EXPECT_EQ(FigureDecimals(c.reached, c.margin), c.decimals) << c.reached;
    }
    EXPECT_EQ(FixedText(0.0092, FigureDecimals(0.0092, 0.0008)), "0.0092");
    EXPECT_EQ(FixedText(-0.004, 2), "0.00") << "no -0";
}

TEST(Readings, NewEdgesAreRoundedToWhatTheRateResolves) {
    using taplore::Edges;
    const struct {
        Edges edges, gap;
        double rate;
        Edges rounded;
    } cases[] = {
        // 4000 + 27025 / 3 = 13008.33…: whole hertz at 62050 Hz.
        {{4000 + 27025.0 / 3, 31025 - 27025.0 / 3}, {4000, 31025}, 62050, {13008, 22017}},
        // Tenths of a hertz at 8000 Hz.
        {{1500 + 2500.0 / 3, 4000 - 2500.0 / 3}, {1500, 4000}, 8000, {2333.3, 3166.7}},
        // A narrow gap takes finer steps, as far as a few decades.
        {{1000.01, 1000.02}, {1000, 1000.03}, 8000, {1000.01, 1000.02}},
        // A gap too narrow for any keeps the edges as computed.
        {{1000 + 1e-9, 1000 + 2e-9}, {1000, 1000 + 3e-9}, 8000, {1000 + 1e-9, 1000 + 2e-9}},
        {{1, 2}, {0, 3}, kNaN, {1, 2}},
    };
    for (const auto& c : cases) {
        const Edges got = taplore::RoundedEdges(c.edges, c.gap, c.rate);
        EXPECT_EQ(got.low, c.rounded.low) << c.edges.low;
        EXPECT_EQ(got.high, c.rounded.high) << c.edges.high;
    }
}

} // namespace
