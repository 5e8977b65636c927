#include "core/coef_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(FullFormat, EveryDoubleReadsBackWithItsBits) {
    std::mt19937_64 random(17);
    std::vector<double> taps = {-0.0, std::numeric_limits<double>::denorm_min(), DBL_MAX, 0.1};
    while (taps.size() < 5000) {
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value))
            taps.push_back(value);
    }
    const std::string text = FormatCoefficientsFull(taps.data(), static_cast<int>(taps.size()));
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), taps.size());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    for (std::size_t k = 0; k < taps.size(); ++k) {
        double back = kNaN;
        const auto [end, error] =
            std::from_chars(lines[k].data(), lines[k].data() + lines[k].size(), back);
        ASSERT_EQ(end, lines[k].data() + lines[k].size()) << lines[k];
        ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(taps[k]))
            << lines[k];
    }
    const double notFinite[] = {kInf, -kInf, -kNaN};
    EXPECT_EQ(FormatCoefficientsFull(notFinite, 3), "inf\n-inf\nnan\n");
}

TEST(CFormat, DeclaresTheTapsAfterACommentOnTheDesign) {
    const double taps[] = {0.1, -0.0, 1.0, 1e300, kNaN, -kInf};
    EXPECT_EQ(FormatCoefficientsC(taps, 6, {4, 8000, 400, 2400}),
              "/* band-pass, order 4, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz */\n"
              "static const double fir_coefficients[6] = {\n"
              "    0.10000000000000001,\n"
              "    -0.0,\n"
              "    1.0,\n"
              "    1.0000000000000001e+300,\n"
              "    NAN,\n"
              "    -INFINITY,\n"
              "};\n");
}

TEST(CFormat, CommentNamesTheBandTypeTheCutoffsSelect) {
    const std::pair<DesignRequest, std::string> cases[] = {
        {{511, 8000, 0, 2400}, "/* low-pass, order 511, rate 8000 Hz, cutoffs 0 Hz and 2400 Hz"},
        {{510, 8000, 400, 4000}, "/* high-pass, order 510, rate 8000 Hz, cutoffs 400 Hz and 4000"},
        {{511, 8000, 2400, 400}, "/* band-stop, order 511"},
        {{511, 8000, 0, 4000}, "/* no band type matched, order 511"},
        {{511, 44100, 2205.5, 0.25},
         "/* band-stop, order 511, rate 44100 Hz, cutoffs 2205.5 Hz and 0.25 Hz"},
    };
    const double tap = 0.0;
    for (const auto& [request, comment] : cases)
        EXPECT_EQ(FormatCoefficientsC(&tap, 1, request).substr(0, comment.size()), comment);
}

TEST(ResponseFormat, EachBinHasItsFrequencyAndLevel) {
    SpectrumLevels levels{};
    levels[0] = -6.0;
    levels[1] = -kInf;
    levels[2] = kNaN;
    levels[511] = -0.125;
    const auto lines = Lines(FormatResponse(levels, 8000));
    ASSERT_EQ(lines.size(), 512u);
    EXPECT_EQ(lines[0], "0\t-6");
    EXPECT_EQ(lines[1], "7.8125\t-inf");
    EXPECT_EQ(lines[2], "15.625\tnan");
    EXPECT_EQ(lines[3], "23.4375\t0");
    EXPECT_EQ(lines[511], "3992.1875\t-0.125");
}

} // namespace
