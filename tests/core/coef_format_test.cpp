#include "core/formats/coef_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(FullFormat, SpellsExtremesSoTheyReadBackAndNonFiniteAsTheFileDoes) {
    const double taps[] = {-0.0, std::numeric_limits<double>::denorm_min(), -DBL_MAX, kInf, -kNaN};
    EXPECT_EQ(FormatCoefficientsFull(taps, 5),
              "-0\n4.9406564584124654e-324\n-1.7976931348623157e+308\ninf\nnan\n");
}

TEST(CFormat, DeclaresTheTapsAsFloatingConstantsAfterACommentOnTheDesign) {
    const double taps[] = {0.1, -0.0, 1.0, 1e300, kNaN, -kInf};
    EXPECT_EQ(FormatCoefficientsC(taps, 6, taplore::DescribeRequest({4, 8000, 400, 2400})),
              "/* band-pass, order 4, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz */\n"
              "#include <math.h>\n"
              "const double fir_coefficients[6] = {\n"
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
        {{510, 8000, 400, 4000}, "/* high-pass, order 510"},
        {{511, 44100, 2205.5, 0.25}, "/* band-stop, order 511, rate 44100 Hz, cutoffs 2205.5 Hz"},
        {{511, 8000, 0, 4000}, "/* no band type matched, order 511"},
    };
    const double tap = 0.0;
    for (const auto& [request, comment] : cases)
        EXPECT_EQ(FormatCoefficientsC(&tap, 1, taplore::DescribeRequest(request))
                      .substr(0, comment.size()),
                  comment);
}

} // namespace
