// The bit-true model against cases worked by hand, against the double filter where the widths
// lose nothing, and its pre-added symmetric pairs against the plain sum.
#include "core/fixed/bit_true.h"
#include "core/fixed/stimulus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using namespace taplore;

BitTrueFormats Q15Filter(Overflow overflow, Rounding rounding = Rounding::nearest) {
    return {{16, 15}, 15, 32, {16, 15}, overflow, rounding};
}

TEST(BitTrue, MinusOneTimesFullScaleOverflowsTheOutput) {
    // -1.0 times -1.0 is +1.0, which Q15 cannot hold: 2^30 in the accumulator, 32768 out.
    const std::vector<std::int32_t> taps{-32768};
    EXPECT_EQ(NeverOverflowingBits(16, taps), 32);
    const BitTrueRun wrapped = RunBitTrue(Q15Filter(Overflow::wrap), taps, {-32768});
    EXPECT_EQ(wrapped.output, std::vector<std::int64_t>{-32768});
    EXPECT_EQ(wrapped.accumulatorOverflows, 0);
    EXPECT_EQ(wrapped.outputOverflows, 1);
    const BitTrueRun saturated = RunBitTrue(Q15Filter(Overflow::saturate), taps, {-32768});
    EXPECT_EQ(saturated.output, std::vector<std::int64_t>{32767});
    EXPECT_EQ(saturated.outputOverflows, 1);
}

TEST(BitTrue, AccumulatorWrapsOrSaturates) {
    // Two taps of -0.5 on -1.0: 2^29, then 2^30, one past a 31-bit accumulator's largest.
    const std::vector<std::int32_t> taps{-16384, -16384};
    BitTrueFormats formats = Q15Filter(Overflow::wrap);
    formats.accumulatorBits = 31;
    const BitTrueRun wrapped = RunBitTrue(formats, taps, {-32768, -32768});
    EXPECT_EQ(wrapped.output, (std::vector<std::int64_t>{16384, -32768}));
    EXPECT_EQ(wrapped.accumulatorOverflows, 1);
    EXPECT_EQ(wrapped.outputOverflows, 0);
    // Saturated to 2^30 - 1, which rounds up to 32768 and saturates again at the output.
    formats.overflow = Overflow::saturate;
    const BitTrueRun saturated = RunBitTrue(formats, taps, {-32768, -32768});
    EXPECT_EQ(saturated.output, (std::vector<std::int64_t>{16384, 32767}));
    EXPECT_EQ(saturated.accumulatorOverflows, 1);
    EXPECT_EQ(saturated.outputOverflows, 1);
}

TEST(BitTrue, EachRoundingOnTies) {
    // One tap of 0.5 on integers: every odd input is a tie at the output's whole numbers.
    const std::vector<std::int64_t> input{5, 3, 1, -1, -3, -5};
    struct Case {
        Rounding rounding;
        std::vector<std::int64_t> expected;
    };
    const Case cases[] = {
        {Rounding::nearest, {3, 2, 1, -1, -2, -3}},
        {Rounding::floor, {2, 1, 0, -1, -2, -3}},
        {Rounding::zero, {2, 1, 0, 0, -1, -2}},
        {Rounding::convergent, {2, 2, 0, 0, -2, -2}},
    };
    for (const Case& c : cases) {
        const BitTrueFormats formats{{8, 0}, 1, 16, {8, 0}, Overflow::wrap, c.rounding};
        EXPECT_EQ(RunBitTrue(formats, {1}, input).output, c.expected);
    }
}

TEST(BitTrue, RoundingOffTiesGoesToTheNearest) {
    // 0.75 and -0.75 in two fraction bits: every mode but floor and zero goes to +-1.
    for (Rounding rounding : {Rounding::nearest, Rounding::convergent}) {
        EXPECT_EQ(RoundShift(3, 2, rounding), 1);
        EXPECT_EQ(RoundShift(-3, 2, rounding), -1);
    }
    EXPECT_EQ(RoundShift(-3, 2, Rounding::floor), -1);
    EXPECT_EQ(RoundShift(-3, 2, Rounding::zero), 0);
}

TEST(BitTrue, WideEnoughWidthsRoundTheDoubleFilterOnce) {
    std::mt19937_64 engine(7);
    std::uniform_int_distribution<std::int32_t> tap(-32768, 32767);
    std::vector<std::int32_t> taps(63);
    for (std::int32_t& q : taps)
        q = tap(engine);
    const std::vector<std::int64_t> input =
        Generate({SignalKind::noise, 3}, 2000, SampleFormat{16, 15});
    const BitTrueFormats formats{
        {16, 15}, 15, NeverOverflowingBits(16, taps), {40, 20}, Overflow::wrap, Rounding::nearest};
    const BitTrueRun run = RunBitTrue(formats, taps, input);
    EXPECT_EQ(run.accumulatorOverflows + run.outputOverflows, 0);
    for (std::size_t n = 0; n < input.size(); ++n) {
        // Each product has 31 bits and 63 of them sum within 37: double holds the sum exactly.
        double exact = 0.0;
        for (std::size_t k = 0; k < taps.size() && k <= n; ++k)
            exact += std::ldexp(taps[k], -15) * std::ldexp(static_cast<double>(input[n - k]), -15);
        ASSERT_EQ(run.output[n], static_cast<std::int64_t>(std::round(std::ldexp(exact, 20))))
            << "sample " << n;
    }
}

TEST(BitTrue, SharedMultipliersGiveThePlainSum) {
    // Symmetric, antisymmetric and plain taps, odd and even lengths, narrow and 64-bit inputs:
    // with an accumulator that never overflows, the output is the plain sum, rounded.
    const std::vector<std::vector<std::int32_t>> tapSets{
        {3, -7, 11, -7, 3}, {3, -7, 11, 11, -7, 3}, {5, -9, 0, 9, -5},
        {5, -9, 9, -5},     {1, 2, 3, 4},           {-2147483647 - 1, -2147483647 - 1}};
    for (const SampleFormat input : {SampleFormat{12, 11}, SampleFormat{64, 63}}) {
        const std::vector<std::int64_t> x = Generate({SignalKind::noise, 11}, 64, input);
        for (const auto& taps : tapSets) {
            const BitTrueFormats formats{input,
                                         0,
                                         NeverOverflowingBits(input.bits, taps),
                                         {64, 0},
                                         Overflow::saturate,
                                         Rounding::floor};
            const BitTrueRun run = RunBitTrue(formats, taps, x);
            for (std::size_t n = 0; n < x.size(); ++n) {
                Wide sum = 0;
                for (std::size_t k = 0; k < taps.size() && k <= n; ++k)
                    sum += Wide{taps[k]} * x[n - k];
                bool overflowed = false;
                ASSERT_EQ(run.output[n], static_cast<std::int64_t>(
                                             ToOutput(sum, input.fraction, formats, overflowed)))
                    << input.bits << " bits, sample " << n;
            }
            EXPECT_EQ(run.accumulatorOverflows, 0);
        }
    }
}

TEST(BitTrue, MoreOutputFractionShiftsUpExactlyOrOverflows) {
    const BitTrueFormats formats{{8, 0}, 0, 16, {8, 4}, Overflow::wrap, Rounding::nearest};
    bool overflowed = true;
    EXPECT_EQ(ToOutput(7, 0, formats, overflowed), 112);
    EXPECT_FALSE(overflowed);
    EXPECT_EQ(ToOutput(-8, 0, formats, overflowed), -128);
    EXPECT_FALSE(overflowed);
    EXPECT_EQ(ToOutput(8, 0, formats, overflowed), -128); // 128 wraps
    EXPECT_TRUE(overflowed);
    BitTrueFormats saturating = formats;
    saturating.overflow = Overflow::saturate;
    EXPECT_EQ(ToOutput(-9, 0, saturating, overflowed), -128);
    EXPECT_TRUE(overflowed);
}

TEST(BitTrue, FitWrapsModuloTheWidth) {
    struct Case {
        Wide value;
        int bits;
        Wide wrapped, saturated;
    };
    const Case cases[] = {{128, 8, -128, 127},
                          {-129, 8, 127, -128},
                          {300, 8, 44, 127},
                          {Wide{1} << 64, 64, 0, (Wide{1} << 63) - 1}};
    for (const Case& c : cases) {
        bool overflowed = false;
        EXPECT_TRUE(Fit(c.value, c.bits, Overflow::wrap, overflowed) == c.wrapped) << c.bits;
        EXPECT_TRUE(overflowed);
        EXPECT_TRUE(Fit(c.value, c.bits, Overflow::saturate, overflowed) == c.saturated);
    }
}

TEST(BitTrue, NeverOverflowingBitsBoundTheWorstInput) {
    struct Case {
        int inputBits;
        std::vector<std::int32_t> taps;
        int bits;
    };
    const Case cases[] = {{16, {-32768}, 32},
                          {16, {16384, 16384}, 32},
                          {16, {1, 1, 1}, 19},
                          {16, {}, 17},
                          {64, {-2147483647 - 1, -2147483647 - 1}, 97}};
    for (const Case& c : cases)
        EXPECT_EQ(NeverOverflowingBits(c.inputBits, c.taps), c.bits) << c.inputBits;
}

TEST(BitTrue, SampleFormatsAreReadOrRefused) {
    EXPECT_EQ(ParseSampleFormat("16"), (SampleFormat{16, 15}));
    EXPECT_EQ(ParseSampleFormat("64"), (SampleFormat{64, 63}));
    EXPECT_EQ(ParseSampleFormat("24.24"), (SampleFormat{24, 24}));
    for (const char* text : {"1", "65", "16.17", "", ".", "16.", "-16", "16.-1", "1e1"})
        EXPECT_FALSE(ParseSampleFormat(text)) << text;
}

TEST(Stimulus, SignalsStayInTheirRange) {
    const SampleFormat format{12, 11};
    const auto impulse = Generate({SignalKind::impulse}, 3, format);
    EXPECT_EQ(impulse, (std::vector<std::int64_t>{2047, 0, 0}));
    EXPECT_EQ(Generate({SignalKind::step}, 2, format), (std::vector<std::int64_t>{2047, 2047}));
    for (SignalKind kind : {SignalKind::chirp, SignalKind::noise}) {
        const auto samples = Generate({kind, 5}, 5000, format);
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_GE(*low, -2048);
        EXPECT_LE(*high, 2047);
        EXPECT_LT(*low, -1900); // a full-scale signal, not a quiet one
        EXPECT_GT(*high, 1900);
    }
    EXPECT_EQ(Generate({SignalKind::noise, 5}, 100, format),
              Generate({SignalKind::noise, 5}, 100, format));
    EXPECT_NE(Generate({SignalKind::noise, 5}, 100, format),
              Generate({SignalKind::noise, 6}, 100, format));
}

TEST(Stimulus, SignalNames) {
    EXPECT_EQ(ParseSignal("noise")->seed, Signal::kDefaultNoiseSeed);
    EXPECT_EQ(ParseSignal("noise:18446744073709551615")->seed, 18446744073709551615u);
    for (const char* text : {"noise:", "noise:-1", "noise:x", "Impulse", "chirp:3", "in.txt"})
        EXPECT_FALSE(ParseSignal(text)) << text;
}

TEST(Stimulus, TextFilesHoldOneIntegerALine) {
    std::string error;
    EXPECT_EQ(ReadSampleText("# header\n1\n-2, 7\n\n 3 \r\n", {8, 7}, error),
              (std::vector<std::int64_t>{1, -2, 3}));
    EXPECT_EQ(error, "");
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {{"1\n128\n", "line 2: \"128\" is not an integer from -128 to 127"},
                          {"0.5\n", "line 1: \"0.5\" is not an integer from -128 to 127"},
                          {"x\n", "line 1: \"x\" is not an integer from -128 to 127"}};
    for (const Case& c : cases) {
        EXPECT_TRUE(ReadSampleText(c.text, {8, 7}, error).empty());
        EXPECT_EQ(error, c.error);
    }
}

TEST(Stimulus, SnrOfAnExactOutputIsInfinite) {
    EXPECT_EQ(OutputSnrDb({0.5}, {2, 4}, {8, 0}, {1, 2}, {8, 0}), INFINITY);
    // Output 1 where 1.5 is due: signal 2.25, noise 0.25.
    EXPECT_NEAR(OutputSnrDb({0.5}, {3}, {8, 0}, {1}, {8, 0}), 10 * std::log10(9.0), 1e-12);
}

} // namespace
