// The fewest coefficient bits: the width found meets the requirements and one bit fewer does
// not, with the same quantiser; it never needs more bits than plain rounding; the taps keep
// their symmetry.
#include "core/design/band_measure.h"
#include "core/design/methods.h"
#include "core/design/requirements_design.h"
#include "core/fixed/fewest_bits.h"

#include <gtest/gtest.h>

namespace {

using namespace taplore;

Requirements PassStop(std::vector<Band> bands, double rippleDb, double attenuationDb) {
    Requirements r;
    r.rate = 8000;
    r.bands = std::move(bands);
    r.rippleDb = rippleDb;
    r.attenuationDb = attenuationDb;
    return r;
}

TEST(FewestBits, FinestFormatKeepsTheLargestTapInRange) {
    struct Case {
        std::vector<double> taps;
        int bits;
        int fraction;
    };
    const Case cases[] = {{{0.5, -0.25}, 16, 15},
                          {{0.9}, 16, 15},
                          {{1.0}, 16, 14},
                          {{-1.0}, 16, 14},
                          {{0.01}, 8, 13},
                          {{300.0}, 4, 0},
                          {{0.0}, 12, QFormat::kMaxFraction}};
    for (const Case& c : cases)
        EXPECT_EQ(FinestFormat(c.taps, c.bits).fraction, c.fraction) << c.taps[0];
}

TEST(FewestBits, TheWidthFoundIsTheFewestAndNoMoreThanRounding) {
    const Band pass{0, 1000, 1, 1}, stop{1500, 4000, 0, 1};
    const struct {
        Requirements requirements;
        const char* method;
    } cases[] = {
        {PassStop({pass, stop}, 0.1, 60), "equiripple"},
        {PassStop({pass, stop}, 0.01, 80), "equiripple"},
        {PassStop({pass, stop}, 0.5, 40), "kaiser"},
        {PassStop({{0, 500, 0, 1}, {1000, 2000, 1, 1}, {2500, 4000, 0, 1}}, 0.5, 50), "equiripple"},
        {PassStop({{0, 1500, 0, 1}, {2000, 4000, 1, 1}}, 0.2, 70), "equiripple"},
    };
    int savedSomewhere = 0;
    for (const auto& c : cases) {
        const RequirementsDesign design =
            DesignToTolerances(c.requirements, *FindMethod(c.method), 0);
        ASSERT_TRUE(Meets(design.report)) << c.method;
        const auto found = FindFewestBits(design.taps, c.requirements);
        ASSERT_TRUE(found) << c.method;
        const int bits = found->taps.format.bits;
        EXPECT_TRUE(MeetsQuantised(found->taps, c.requirements));
        EXPECT_FALSE(MeetsQuantised(QuantiseToRequirements(design.taps, c.requirements, bits - 1),
                                    c.requirements))
            << bits;
        ASSERT_GT(found->plainBits, 0);
        EXPECT_LE(bits, found->plainBits);
        savedSomewhere += bits < found->plainBits;
        // Plain rounding's own figure is its fewest too.
        const QFormat fewer = FinestFormat(design.taps, found->plainBits - 1);
        EXPECT_FALSE(MeetsQuantised(
            Quantise(design.taps.data(), static_cast<int>(design.taps.size()), fewer),
            c.requirements));
        const std::vector<std::int32_t>& q = found->taps.values;
        EXPECT_TRUE(std::equal(q.begin(), q.end(), q.rbegin())) << "symmetry lost";
        EXPECT_EQ(found->deviations, MeasureDeviations(Dequantise(found->taps), c.requirements));
    }
    // The search is worth its time: it saves a bit on some of these.
    EXPECT_GT(savedSomewhere, 0);
}

TEST(FewestBits, AntisymmetricTapsStayAntisymmetric) {
    // A type-III set: the search moves each pair together and keeps the centre at 0.
    const std::vector<double> taps{-0.1, 0.0, -0.6, 0.0, 0.6, 0.0, 0.1};
    Requirements r = PassStop({{500, 3500, 1, 1}}, 6, 20);
    const FixedPointTaps searched = SearchRoundings(taps, r, QFormat{6, 5});
    const std::vector<std::int32_t>& q = searched.values;
    for (std::size_t k = 0; k < q.size(); ++k)
        EXPECT_EQ(q[k], -q[q.size() - 1 - k]) << k;
}

// A stop asked for after some widths ends the search there, with no answer.
TEST(FewestBits, AStopEndsTheSearchAtTheNextWidth) {
    const Requirements r = PassStop({{0, 1000, 1, 1}, {1500, 4000, 0, 1}}, 0.1, 60);
    const RequirementsDesign design = DesignToTolerances(r, *FindMethod("equiripple"), 0);
    int asked = 0;
    EXPECT_FALSE(FindFewestBits(design.taps, r, [&asked](double) { return ++asked < 5; }));
    EXPECT_EQ(asked, 5);
    EXPECT_TRUE(FindFewestBits(design.taps, r, [](double) { return true; }));
}

TEST(FewestBits, NoWidthMeetsWhatTheDoubleTapsMiss) {
    // Three taps cannot keep 0.1 dB and 60 dB: no width helps.
    const Requirements r = PassStop({{0, 1000, 1, 1}, {1500, 4000, 0, 1}}, 0.1, 60);
    EXPECT_FALSE(FindFewestBits({0.25, 0.5, 0.25}, r));
}

} // namespace
