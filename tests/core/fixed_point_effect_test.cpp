// The requirements window's fixed-point arithmetic without its window: the widths as typed, and
// what the rounded taps and a full-scale chirp make of a filter.
#include "core/fixed/fixed_point_effect.h"

#include "core/design/fewest_taps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace taplore;

TEST(FixedPointInputsTest, EachWrongFieldIsNamedAndTheRightOnesRead) {
    const struct {
        FixedPointInputs inputs;
        std::string problem;
    } cases[] = {
        {{"18.17", "12", "", "", Overflow::saturate, Rounding::floor}, ""},
        {{"40", "16", "", ""}, "Bits: must be B or B.F, B from 2 to 32."},
        {{"16", "1", "", ""}, "Input bits: must be B or B.F, B from 2 to 64 and F from 0 to B."},
        {{"16", "16.17", "", ""},
         "Input bits: must be B or B.F, B from 2 to 64 and F from 0 to B."},
        {{"16", "16", "65", ""},
         "Output bits: must be B or B.F, B from 2 to 64 and F from 0 to B."},
        {{"16", "16", "", "1"},
         "Accumulator bits: must be empty (never overflowing) or from 2 to 64."},
        {{"16", "16", "", "0"},
         "Accumulator bits: must be empty (never overflowing) or from 2 to 64."},
        {{"16", "16", "", "40.5"},
         "Accumulator bits: must be empty (never overflowing) or from 2 to 64."},
    };
    for (const auto& c : cases) {
        std::string problem = "left over";
        const auto arithmetic = ReadArithmetic(c.inputs, problem);
        EXPECT_EQ(problem, c.problem) << c.inputs.tapBits << " " << c.inputs.inputBits;
        EXPECT_EQ(arithmetic.has_value(), c.problem.empty());
    }
    std::string problem;
    const FixedPointArithmetic read = *ReadArithmetic(cases[0].inputs, problem);
    EXPECT_EQ(read.taps, (QFormat{18, 17}));
    EXPECT_EQ(read.formats.input, (SampleFormat{12, 11}));
    EXPECT_EQ(read.formats.output, read.formats.input) << "an empty output is the input's";
    EXPECT_EQ(read.formats.accumulatorBits, 0) << "an empty accumulator never overflows";
    EXPECT_EQ(read.formats.tapFraction, 17);
    EXPECT_EQ(read.formats.overflow, Overflow::saturate);
    EXPECT_EQ(read.formats.rounding, Rounding::floor);
}

FixedPointArithmetic Arithmetic(const std::string& tapBits, const std::string& accumulator) {
    std::string problem;
    return *ReadArithmetic({tapBits, "16", "", accumulator}, problem);
}

// 0.3 in 4.3 bits rounds to 2/8: the curve is the rounded taps', 20 log10(0.5) at DC.
TEST(FixedPointEffectTest, TheCurveIsOfTheRoundedTaps) {
    const std::vector<double> taps = {0.3, 0.3};
    const FrequencyGrid grid(64);
    const FixedPointEffect effect = EffectOf(taps, Arithmetic("4.3", ""), grid, {});
    ASSERT_EQ(effect.magnitudeDb.size(), 64u);
    EXPECT_NEAR(effect.magnitudeDb[0], 20 * std::log10(0.5), 1e-12);
}

// Eight taps of 0.5 gain 4 at DC: a full-scale chirp passes through DC at its start, so an
// accumulator of the input's 16 bits plus the taps' 15 overflows, and the automatic one never.
TEST(FixedPointEffectTest, ANarrowAccumulatorOverflowsAndTheAutomaticOneNever) {
    const std::vector<double> taps(8, 0.5);
    const FrequencyGrid grid(64);
    const FixedPointEffect narrow = EffectOf(taps, Arithmetic("16", "31"), grid, {});
    EXPECT_GT(narrow.accumulatorOverflows, 0);
    EXPECT_EQ(narrow.accumulatorBits, 31);
    EXPECT_FALSE(narrow.automaticAccumulator);
    const FixedPointEffect automatic = EffectOf(taps, Arithmetic("16", ""), grid, {});
    EXPECT_EQ(automatic.accumulatorOverflows, 0);
    EXPECT_GT(automatic.outputOverflows, 0) << "a gain of 4 clips at the input's width";
    EXPECT_TRUE(automatic.automaticAccumulator);
    EXPECT_EQ(automatic.accumulatorBits,
              NeverOverflowingBits(16, std::vector<std::int32_t>(8, 16384)));
    EXPECT_EQ(EffectText(automatic).rfind("Full-scale chirp of 4096 samples: none overflows at "
                                          "the accumulator (",
                                          0),
              0u)
        << EffectText(automatic);
}

// With the roundings searched, the curve is that of the searched integers: the same as the
// plainly rounded curve of taps that already are those integers, and not the plain one, at a
// width (18 bits for this 59-tap low-pass) where the search keeps 90 dB and rounding does not.
TEST(FixedPointEffectTest, SearchedRoundingsDrawTheSearchedIntegers) {
    Requirements r;
    r.rate = 48000;
    r.bands = {{0, 18000, 1, 1}, {21000, 24000, 0, 1}};
    r.rippleDb = 0.1;
    r.attenuationDb = 90;
    const std::vector<double> taps = DesignFewestTaps(r, DefaultMethod()).taps;
    const FrequencyGrid grid(512);
    FixedPointArithmetic searched = Arithmetic("18", "");
    searched.searchRoundings = true;
    const FixedPointTaps integers = QuantiseTaps(taps, searched.taps, &r);
    std::vector<double> asWritten;
    for (std::int32_t value : integers.values)
        asWritten.push_back(std::ldexp(value, -searched.taps.fraction));
    const FixedPointArithmetic plain = Arithmetic("18", "");
    EXPECT_EQ(EffectOf(taps, searched, grid, r).magnitudeDb,
              EffectOf(asWritten, plain, grid, r).magnitudeDb);
    EXPECT_NE(EffectOf(taps, searched, grid, r).magnitudeDb,
              EffectOf(taps, plain, grid, r).magnitudeDb);
}

} // namespace
