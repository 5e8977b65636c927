// The response views against filter properties and the definition summed directly: linear
// phase gives a constant group delay and a phase of that slope, the step ends at the taps'
// sum, and a zero on the unit circle leaves the group delay at its limit.
#include "core/analysis/log_magnitude.h"
#include "core/analysis/views.h"
#include "core/design/fir_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>
#include <vector>

namespace {

using taplore::ComputeFrequencyViews;
using taplore::FrequencyGrid;

std::vector<double> Design(int order, double f1, double f2) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    EXPECT_GT(DesignFilter(coef, count, order, f1, f2), 0);
    return {coef.get(), coef.get() + count};
}

// H at point k of a grid of points, summed from the definition in long double.
std::complex<long double> DirectResponse(const std::vector<double>& taps, int k, int points) {
    std::complex<long double> sum = 0;
    const long double omega = std::numbers::pi_v<long double> * k / points;
    for (std::size_t n = 0; n < taps.size(); ++n)
        sum += static_cast<long double>(taps[n]) * std::polar(1.0L, -omega * n);
    return sum;
}

struct SymmetricCase {
    std::vector<double> taps;
    double centre;
};

std::vector<SymmetricCase> SymmetricCases() {
    std::vector<SymmetricCase> cases;
    for (const auto& [order, f1, f2] :
         {std::tuple{511, 0.1, 0.6}, {30, 0.0, 0.3}, {101, 0.4, 1.0}, {4095, 0.6, 0.1}})
        cases.push_back({Design(order, f1, f2), (TapsForOrder(order) - 1) / 2.0});
    // Antisymmetric, and a symmetric filter behind two zero taps.
    cases.push_back({{0.5, 0.25, 0.0, -0.25, -0.5}, 2.0});
    cases.push_back({{0.0, 0.0, 0.125, 1.0, 1.0, 0.125}, 3.5});
    return cases;
}

TEST(Views, SymmetricTapsHaveTheCentresGroupDelayAndALinearPhase) {
    for (const int points : {512, 1000, 4096}) {
        const FrequencyGrid grid(points);
        for (const SymmetricCase& c : SymmetricCases()) {
            const auto views = ComputeFrequencyViews(c.taps, grid);
            ASSERT_EQ(views.groupDelay.size(), std::size_t(points));
            const double step = c.centre * 180.0 / points; // degrees the phase falls a point
            for (int k = 1; k < points; ++k) {
                if (views.magnitudeDb[k] < -250)
                    continue;
                ASSERT_EQ(views.groupDelay[k], c.centre) << c.taps.size() << " at " << k;
                // Linear with that slope, rising half a turn where the response changes sign.
                const double rise = views.phaseDegrees[k] - views.phaseDegrees[k - 1] + step;
                ASSERT_TRUE(std::abs(rise) < 1e-6 || std::abs(rise - 180) < 1e-6)
                    << c.taps.size() << " at " << k << ": " << rise;
            }
        }
    }
}

// A non-linear-phase filter, (1 + z^-2)(1 + z^-1 / 2): its group delay is 1 from the first
// factor plus (1/4 + cos w / 2) / (5/4 + cos w) from the second, and at w = pi/2 the first
// factor's zero lies on the grid, where the quotient is 0/0 and only its limit is left.
TEST(Views, GroupDelayOfOtherTapsFollowsTheDerivativeAlsoAtAZeroOnTheGrid) {
    const std::vector<double> taps = {1.0, 0.5, 1.0, 0.5};
    const int points = 64;
    const auto views = ComputeFrequencyViews(taps, FrequencyGrid(points));
    for (int k = 0; k < points; ++k) {
        const double w = std::numbers::pi * k / points;
        const double want = 1.0 + (0.25 + std::cos(w) / 2) / (1.25 + std::cos(w));
        EXPECT_NEAR(views.groupDelay[k], want, 1e-9) << k;
    }
    EXPECT_EQ(views.magnitudeDb[points / 2] < -250, true);
}

TEST(Views, MagnitudeAndPhaseAreTheResponseOnAnyGridAndForMoreTapsThanPoints) {
    const std::vector<double> design = Design(511, 0.1, 0.6);
    const std::vector<double> skewed = {0.3, -1.0, 0.7, 0.2, 0.05};
    for (const auto& taps : {design, skewed}) {
        for (const int points : {3, 8, 100, 1024}) {
            const auto views = ComputeFrequencyViews(taps, FrequencyGrid(points));
            for (int k = 0; k < points; ++k) {
                const auto h = DirectResponse(taps, k, points);
                const double db = 20 * std::log10(static_cast<double>(std::abs(h)));
                if (db < -120)
                    continue;
                EXPECT_NEAR(views.magnitudeDb[k], db, 1e-7) << points << " " << k;
                const double wrapped =
                    std::remainder(views.phaseDegrees[k] -
                                       static_cast<double>(std::arg(h)) * 180 / std::numbers::pi,
                                   360.0);
                EXPECT_NEAR(wrapped, 0.0, 1e-6) << points << " " << k;
            }
        }
    }
}

TEST(Views, MagnitudeOn512PointsIsTheDialogsSpectrum) {
    const std::vector<double> taps = Design(511, 0.1, 0.6);
    SpectrumLevels levels;
    ASSERT_EQ(ComputeLevelsDb(taps.data(), 511, levels), kSpectrumBins);
    const auto views = ComputeFrequencyViews(taps, FrequencyGrid(kSpectrumBins));
    for (int k = 0; k < kSpectrumBins; ++k)
        EXPECT_NEAR(views.magnitudeDb[k], levels[k], 1e-6 * std::max(1.0, -levels[k])) << k;
}

TEST(Views, ZeroTapsHaveNoGroupDelayAndAFlatPhase) {
    const auto views = ComputeFrequencyViews(std::vector<double>(7, 0.0), FrequencyGrid(16));
    for (int k = 0; k < 16; ++k) {
        EXPECT_TRUE(std::isnan(views.groupDelay[k]));
        EXPECT_EQ(views.phaseDegrees[k], 0.0);
        EXPECT_EQ(views.magnitudeDb[k], -HUGE_VAL);
    }
}

TEST(Views, StepEndsAtTheSumOfTheTapsAndTheDcGain) {
    for (const auto& taps : {Design(511, 0.0, 0.3), Design(101, 0.4, 1.0), Design(9999, 0.6, 0.1),
                             std::vector<double>{1e16, 1.0, -1e16, 1.0}}) {
        const std::vector<double> step = taplore::StepResponse(taps);
        ASSERT_EQ(step.size(), taps.size());
        long double sum = 0;
        for (double tap : taps)
            sum += tap;
        EXPECT_EQ(step.back(), static_cast<double>(sum)) << taps.size();
        EXPECT_EQ(step.front(), taps.front());
    }
}

} // namespace
