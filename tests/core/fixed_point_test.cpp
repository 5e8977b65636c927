// Quantisation to Q15 and Q31: the integers a fixed-point routine is given, the taps that
// saturate, and the cost figure, checked against hand-worked values and a direct DFT.
#include "core/formats/coef_format.h"
#include "core/formats/fixed_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace {

constexpr double kLsb15 = 1.0 / 32768;
constexpr double kLsb31 = 1.0 / 2147483648.0;

std::vector<std::int32_t> Q(const std::vector<double>& taps, QFormat format,
                            int* saturated = nullptr) {
    FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), format);
    if (saturated)
        *saturated = q.saturated;
    return q.values;
}

TEST(Quantise, HalvesRoundAwayFromZeroAndTheRestToNearest) {
    const std::vector<double> taps = {0.5 * kLsb15,   -0.5 * kLsb15, 1.5 * kLsb15,
                                      -2.5 * kLsb15,  0.49 * kLsb15, -0.51 * kLsb15,
                                      100.5 * kLsb15, 0.0,           -0.0};
    EXPECT_EQ(Q(taps, QFormat::q15), (std::vector<std::int32_t>{1, -1, 2, -3, 0, -1, 101, 0, 0}));
    const std::vector<double> taps31 = {0.5 * kLsb31, -0.5 * kLsb31, 1000000.5 * kLsb31};
    EXPECT_EQ(Q(taps31, QFormat::q31), (std::vector<std::int32_t>{1, -1, 1000001}));
}

TEST(Quantise, ClipsAtTheEdgesOfTheRangeAndCountsWhatItClipped) {
    const double huge = std::numeric_limits<double>::max();
    int saturated = 0;
    // -1.0 is the most negative value itself; +1.0 is one step beyond the largest.
    EXPECT_EQ(Q({1.0, -1.0, 2.0, -1e300, huge, 32767.5 * kLsb15, 32767.49 * kLsb15}, QFormat::q15,
                &saturated),
              (std::vector<std::int32_t>{32767, -32768, 32767, -32768, 32767, 32767, 32767}));
    EXPECT_EQ(saturated, 5);
    // 0.99999999 * 2^31 = 2147483626.53: rounds up, still inside the range.
    EXPECT_EQ(Q({1.0, -1.0, -1.0 - kLsb31, 0.99999999}, QFormat::q31, &saturated),
              (std::vector<std::int32_t>{INT32_MAX, INT32_MIN, INT32_MIN, 2147483627}));
    EXPECT_EQ(saturated, 2);
}

// Every width an FPGA or DSP takes, at the edges of its range: one step beyond each end
// saturates (and is counted), half a step rounds away from zero, the most negative value is
// reached and kept.
TEST(Quantise, AnyWidthRoundsHalvesAwayAndSaturatesAtItsOwnEdges) {
    for (const int bits : {2, 8, 18, 25, 32}) {
        const QFormat format{bits, bits - 1};
        const double lsb = std::ldexp(1.0, -(bits - 1));
        const double largest = std::ldexp(1.0, bits - 1) - 1, smallest = -std::ldexp(1.0, bits - 1);
        const std::vector<double> taps = {
            0.5 * lsb,
            -0.5 * lsb,
            0.49 * lsb,
            -0.51 * lsb, // rounding inside the range
            -1.0,
            1.0, // the most negative; one step beyond
            (largest + 0.49) * lsb,
            (largest + 0.5) * lsb, // just inside, just beyond the top
            (smallest - 0.49) * lsb,
            (smallest - 0.5) * lsb, // and the bottom
        };
        const std::int32_t top = format.Largest(), bottom = format.Smallest();
        ASSERT_EQ(top, static_cast<std::int32_t>(largest)) << bits;
        ASSERT_EQ(bottom, static_cast<std::int32_t>(smallest)) << bits;
        int saturated = 0;
        EXPECT_EQ(Q(taps, format, &saturated),
                  (std::vector<std::int32_t>{1, -1, 0, -1, bottom, top, top, top, bottom, bottom}))
            << bits;
        EXPECT_EQ(saturated, 3) << bits;
    }
    // Fraction bits beyond the width: small taps keep more precision, large ones saturate.
    int saturated = 0;
    EXPECT_EQ(Q({0.1, -0.1, 1e-6}, QFormat{18, 20}, &saturated),
              (std::vector<std::int32_t>{104858, -104858, 1}));
    EXPECT_EQ(Q({0.2, -0.2}, QFormat{18, 20}, &saturated),
              (std::vector<std::int32_t>{131071, -131072}));
    EXPECT_EQ(saturated, 2);
}

TEST(QFormatText, WidthsAreReadStrictlyAndNamed) {
    const std::pair<const char*, QFormat> good[] = {
        {"16", QFormat::q15}, {"32", QFormat::q31}, {"18", {18, 17}}, {"2", {2, 1}},
        {"18.20", {18, 20}},  {"32.0", {32, 0}},    {"8.62", {8, 62}}};
    for (const auto& [text, format] : good)
        EXPECT_EQ(ParseQFormat(text), format) << text;
    for (const char* bad : {"", "1", "33", "0", "16.63", ".", "16.", ".5", "+16", "16.-1", " 16",
                            "16 ", "16e0", "0x10", "16.15.1", "4294967314"})
        EXPECT_EQ(ParseQFormat(bad), std::nullopt) << bad;
    EXPECT_EQ(QFormatName(QFormat::q15), "Q15");
    EXPECT_EQ(QFormatName(QFormat::q31), "Q31");
    EXPECT_EQ(QFormatName({18, 17}), "Q17 in 18 bits");
    EXPECT_EQ(QFormatName({16, 12}), "Q12 in 16 bits");
}

TEST(Quantise, RefusesAnyTapThatIsNotFinite) {
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        const double taps[] = {0.25, bad, 0.25};
        for (const QFormat format : {QFormat::q15, QFormat::q31}) {
            try {
                Quantise(taps, 3, format);
                ADD_FAILURE() << bad;
            } catch (const NoFixedPointForm& e) {
                EXPECT_STREQ(e.what(), "The coefficients are not all finite: no fixed-point form.");
            }
        }
    }
}

TEST(Quantise, Q31KeepsEveryMultipleOfItsStepExactlyAndCostsNothing) {
    std::vector<double> taps;
    for (const std::int64_t k :
         {1LL, -1LL, 3LL, 123456789LL, -2147483647LL, 2147483647LL, -2147483648LL})
        taps.push_back(static_cast<double>(k) * kLsb31);
    const FixedPointTaps q = Quantise(taps.data(), static_cast<int>(taps.size()), QFormat::q31);
    EXPECT_EQ(q.saturated, 0);
    EXPECT_EQ(Dequantise(q), taps);
    EXPECT_EQ(QuantisationCostDb(taps.data(), q), -std::numeric_limits<double>::infinity());
}

// max |sum d[n] e^(-2 pi i k n / L)| over the L bins, straight from the definition.
double DirectCostDb(const std::vector<double>& d, int points) {
    double largest = 0.0;
    for (int k = 0; k < points; ++k) {
        double re = 0.0, im = 0.0;
        for (std::size_t n = 0; n < d.size(); ++n) {
            const double angle =
                -2.0 * std::numbers::pi * double((k * std::int64_t(n)) % points) / points;
            re += d[n] * std::cos(angle);
            im += d[n] * std::sin(angle);
        }
        largest = std::max(largest, std::hypot(re, im));
    }
    return 20.0 * std::log10(largest);
}

TEST(QuantisationCost, IsTheLargestErrorOfTheResponseOverTheTransformsBins) {
    struct Case {
        DesignRequest request;
        int points; // max(1024, the next power of two >= taps)
    };
    const Case cases[] = {{{511, 8000, 400, 2400}, 1024}, {{1500, 8000, 0, 1000}, 2048}};
    for (const Case& c : cases) {
        std::shared_ptr<double[]> coef;
        int count = 0;
        ASSERT_GT(DesignFilter(coef, count, c.request.order, c.request.lowHz / c.request.rate * 2,
                               c.request.highHz / c.request.rate * 2),
                  0);
        const FixedPointTaps q = Quantise(coef.get(), count, QFormat::q15);
        std::vector<double> error(count);
        for (int n = 0; n < count; ++n)
            error[n] = q.values[n] * kLsb15 - coef[n];
        const double cost = QuantisationCostDb(coef.get(), q);
        EXPECT_NEAR(cost, DirectCostDb(error, c.points), 0.1) << c.request.order;
        // Rounding errors of half a step at most, over this many taps: a sanity bound.
        EXPECT_LT(cost, 20 * std::log10(count * 0.5 * kLsb15));
    }
}

TEST(FixedPointText, CArrayCommentAddsFormatSaturationAndCost) {
    // Only the clipped 1.0 is off, by one step: |H_q - H| = 2^-15 at every bin, -90.3 dB.
    const double taps[] = {0.5, -1.0, 1.0, 0.0};
    EXPECT_EQ(FormatFixedPointC(taps, Quantise(taps, 4, QFormat::q15),
                                taplore::DescribeRequest({4, 8000, 400, 2400})),
              "/* band-pass, order 4, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz; Q15 (tap x "
              "32768, rounded, saturated): 1 tap saturated, response within -90.3 dB of the "
              "double design */\n"
              "#include <stdint.h>\n"
              "const int16_t fir_coefficients[4] = {\n"
              "    16384,\n"
              "    -32768,\n"
              "    32767,\n"
              "    0,\n"
              "};\n");
    const double exact[] = {-1.0, 0.25};
    const std::string q31 = FormatFixedPointC(exact, Quantise(exact, 2, QFormat::q31),
                                              taplore::DescribeRequest({1, 48000, 0, 3000}));
    EXPECT_EQ(q31, "/* low-pass, order 1, rate 48000 Hz, cutoffs 0 Hz and 3000 Hz; Q31 (tap x "
                   "2147483648, rounded, saturated): 0 taps saturated, response within -inf dB "
                   "of the double design */\n"
                   "#include <stdint.h>\n"
                   "const int32_t fir_coefficients[2] = {\n"
                   "    INT32_MIN,\n"
                   "    536870912,\n"
                   "};\n");
}

} // namespace
