#include "core/design/band_measure.h"
#include "core/design/nyquist.h"
#include "core/formats/requirements_report.h"

#include "filter_response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace taplore;

const Method& kEquiripple = *FindMethod("equiripple");
const Method& kKaiser = *FindMethod("kaiser");

struct Case {
    int band;
    double passHz; // at 8000 Hz
    double rippleDb, attenuationDb;
    const Method& method;
};

const Case kCases[] = {
    {2, 1000, 0.1, 60, kEquiripple}, {2, 1600, 0.001, 100, kEquiripple},
    {2, 1800, 0.5, 40, kEquiripple}, {2, 1900, 0.01, 80, kEquiripple},
    {2, 1000, 0.1, 60, kKaiser},     {3, 900, 0.1, 60, kKaiser},
    {4, 600, 0.05, 70, kKaiser},     {5, 500, 0.1, 50, kKaiser},
    {8, 300, 0.01, 90, kKaiser},
};

std::string Name(const Case& c) {
    return "L " + std::to_string(c.band) + ", pass 0:" + std::to_string(c.passHz) + ", " +
           std::string(c.method.name);
}

Requirements Of(const Case& c) {
    return NyquistRequirements(8000, c.passHz, c.band, c.rippleDb, c.attenuationDb);
}

// The longest allowed length below taps.
int NextShorter(int taps, int band) {
    int n = taps - 1;
    while (n >= 3 && !IsNyquistLength(n, band))
        --n;
    return n;
}

TEST(Nyquist, EveryLthTapIsExactlyZeroAndTheCentreExactlyOneOverL) {
    for (const Case& c : kCases) {
        const RequirementsDesign design = DesignFewestNyquistTaps(Of(c), c.band, c.method);
        ASSERT_TRUE(HasTaps(design.status)) << Name(c) << ": " << design.message;
        const std::vector<double>& taps = design.taps;
        const int centre = static_cast<int>(taps.size()) / 2;
        ASSERT_TRUE(IsNyquistLength(static_cast<int>(taps.size()), c.band)) << Name(c);
        EXPECT_EQ(taps[centre], 1.0 / c.band) << Name(c);
        int zeros = 0;
        for (int k = 0; k < static_cast<int>(taps.size()); ++k) {
            const int n = k - centre;
            if (n != 0 && n % c.band == 0) {
                EXPECT_EQ(taps[k], 0.0) << Name(c) << ", tap " << k;
                EXPECT_FALSE(std::signbit(taps[k])) << Name(c) << ", tap " << k;
                ++zeros;
            } else {
                EXPECT_NE(taps[k], 0.0) << Name(c) << ", tap " << k;
            }
            EXPECT_EQ(taps[k], taps[taps.size() - 1 - k]) << Name(c) << ", tap " << k;
        }
        EXPECT_EQ(design.report.zeroTaps, zeros) << Name(c);
        EXPECT_EQ(design.report.nyquistBand, c.band) << Name(c);
    }
}

TEST(Nyquist, TheFewestTapsMeetAndTheNextShorterAllowedLengthMisses) {
    for (const Case& c : kCases) {
        const Requirements r = Of(c);
        const RequirementsDesign design = DesignFewestNyquistTaps(r, c.band, c.method);
        ASSERT_TRUE(HasTaps(design.status)) << Name(c) << ": " << design.message;
        EXPECT_TRUE(MeetsTolerances(MeasureDeviations(design.taps, r), r)) << Name(c);
        const int taps = static_cast<int>(design.taps.size());
        const int shorter = NextShorter(taps, c.band);
        ASSERT_EQ(design.report.shorter.size(), 1u) << Name(c);
        EXPECT_EQ(design.report.shorter.front().taps, shorter) << Name(c);
        const RequirementsDesign miss = DesignNyquistLength(r, c.band, c.method, shorter);
        ASSERT_TRUE(HasTaps(miss.status)) << Name(c);
        EXPECT_FALSE(MeetsTolerances(MeasureDeviations(miss.taps, r), r))
            << Name(c) << ": " << shorter << " taps";
    }
}

// Vaidyanathan and Nguyen: A(w) + A(pi - w) = 1 for the amplitude A, and G's error d gives
// d / 2 in both bands, so that the pass and the stop band deviate alike.
TEST(Nyquist, TheHalfBandIsComplementaryAndDeviatesHalfAsMuchAsItsOneBandDesign) {
    const Requirements r = NyquistRequirements(8000, 1000, 2, 0.1, 60);
    for (int taps : {7, 23, 43, 99}) {
        const RequirementsDesign design = DesignNyquistLength(r, 2, kEquiripple, taps);
        ASSERT_TRUE(HasTaps(design.status)) << taps << ": " << design.message;
        for (double w = 0; w <= std::numbers::pi / 2; w += 0.01) {
            const double sum = filter_response::Amplitude(design.taps, w, false) +
                               filter_response::Amplitude(design.taps, std::numbers::pi - w, false);
            EXPECT_NEAR(sum, 1.0, 1e-13) << taps << " taps at " << w;
        }
        const std::vector<double> deviations = MeasureDeviations(design.taps, r);
        const double half = design.report.weightedDeviation / 2;
        EXPECT_NEAR(deviations[0], half, 1e-9 + 1e-6 * half) << taps;
        EXPECT_NEAR(deviations[1], half, 1e-9 + 1e-6 * half) << taps;
    }
}

TEST(Nyquist, TheAllowedLengthsAreOddWithNonzeroEndTaps) {
    const struct {
        int band;
        std::vector<int> allowed, refused;
    } cases[] = {
        {2, {3, 7, 11, 43, 65531}, {1, 2, 5, 9, 41, 42, 44}},
        {3, {3, 5, 9, 11, 15}, {1, 7, 13, 10, 19}},
        {4, {3, 5, 7, 11}, {9, 17, 6}},
    };
    for (const auto& c : cases) {
        for (int taps : c.allowed)
            EXPECT_TRUE(IsNyquistLength(taps, c.band)) << c.band << ": " << taps;
        for (int taps : c.refused)
            EXPECT_FALSE(IsNyquistLength(taps, c.band)) << c.band << ": " << taps;
    }
    // G's even length up to the longest equiripple design, 131070: 262139 taps.
    EXPECT_EQ(LongestNyquist(kEquiripple, 2), 262139);
    EXPECT_TRUE(IsNyquistLength(LongestNyquist(kKaiser, 3), 3));
    EXPECT_LE(LongestNyquist(kKaiser, 3), kKaiser.longest);
}

TEST(Nyquist, RefusesWhatCannotBeAnLthBand) {
    const Requirements half = NyquistRequirements(8000, 1000, 2, 0.1, 60);
    Requirements movedStop = half;
    movedStop.bands[1].lowHz = 2500;
    Requirements wide = NyquistRequirements(8000, 2000, 2, 0.1, 60);
    Requirements noAtten = half;
    noAtten.attenuationDb = 0;
    const struct {
        const char* what;
        Requirements r;
        int band;
        const Method& method;
    } cases[] = {
        {"L below 2", half, 1, kKaiser},
        {"a stop band elsewhere", movedStop, 2, kEquiripple},
        {"a pass band up to rate / (2L)", wide, 2, kEquiripple},
        {"no attenuation", noAtten, 2, kEquiripple},
        {"least squares", half, 2, *FindMethod("least-squares")},
        {"equiripple beyond the half-band", NyquistRequirements(8000, 900, 3, 0.1, 60), 3,
         kEquiripple},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesignFewestNyquistTaps(c.r, c.band, c.method).status, DesignStatus::refused)
            << c.what;
        EXPECT_EQ(DesignNyquistLength(c.r, c.band, c.method, 43).status, DesignStatus::refused)
            << c.what;
    }
    EXPECT_EQ(DesignNyquistLength(half, 2, kEquiripple, 41).status, DesignStatus::refused);
}

TEST(Nyquist, TheReportNamesTheBandAndCountsTheZerosAndMultiplications) {
    const Requirements r = NyquistRequirements(8000, 1000, 2, 0.1, 60);
    const RequirementsDesign design = DesignFewestNyquistTaps(r, 2, kEquiripple);
    ASSERT_EQ(design.taps.size(), 15u);
    const std::vector<std::string> lines = FormatReport(design.report);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "half-band equiripple, 15 taps: meets the requirements; 11 taps miss");
    EXPECT_EQ(lines[3], "6 of 15 taps are zero: 9 multiplications per output sample, 5 with "
                        "the symmetric taps added first");

    const Requirements third = NyquistRequirements(8000, 900, 3, 0.1, 60);
    const RequirementsDesign kaiser = DesignFewestNyquistTaps(third, 3, kKaiser);
    ASSERT_TRUE(HasTaps(kaiser.status));
    EXPECT_EQ(FormatReport(kaiser.report)[0].rfind("1/3-band Kaiser window, beta 5.653, ", 0), 0u)
        << FormatReport(kaiser.report)[0];
}

} // namespace
