#include "core/design/double_double.h"
#include "core/design/polynomial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using taplore::DoubleDouble;

// What double loses, double-double keeps: each operation exact to about 2^-104 of its result.
TEST(DoubleDouble, KeepsWhatDoubleRoundsAway) {
    const double tiny = std::ldexp(1.0, -80);
    EXPECT_EQ(static_cast<long double>((DoubleDouble(1.0) + tiny) - DoubleDouble(1.0)),
              static_cast<long double>(tiny));
    // (1 + 2^-30)^2 = 1 + 2^-29 + 2^-60: the last term is below double's rounding of the sum.
    const DoubleDouble x = DoubleDouble(1.0) + std::ldexp(1.0, -30);
    const DoubleDouble square = x * x - DoubleDouble(1.0) - DoubleDouble(std::ldexp(1.0, -29));
    EXPECT_EQ(static_cast<double>(square), std::ldexp(1.0, -60));
    const DoubleDouble third = DoubleDouble(1.0) / DoubleDouble(3.0);
    const DoubleDouble residue = third * DoubleDouble(3.0) - DoubleDouble(1.0);
    EXPECT_LT(std::fabs(static_cast<double>(residue)), std::ldexp(1.0, -104));
    EXPECT_EQ(static_cast<double>(third.Scaled(-3) * DoubleDouble(24.0)), 1.0);
}

// The weights come from products of a thousand factors, grouped four nodes at a time and split
// between threads; every node, the group's own and the ungrouped last ones, must still get its
// product to within the factors' rounding.
TEST(BarycentricWeights, AgreeWithDoubleDoubleOnEveryNode) {
    const int n = 1027; // above the threads' threshold, and three nodes past a group of four
    std::vector<double> x(n), weights(n);
    for (int k = 0; k < n; ++k)
        x[k] = std::cos(std::numbers::pi * (k + 0.5) / n);
    const int top = taplore::BarycentricWeights(x, weights);
    const std::vector<DoubleDouble> exact = taplore::ExactBarycentricWeights(x, top);
    for (int k = 0; k < n; ++k) {
        const double reference = static_cast<double>(exact[k]);
        EXPECT_NEAR(weights[k], reference, 4 * n * 1.2e-16 * std::fabs(reference)) << "node " << k;
    }
}

// Nodes crowded into a narrow pass band, as a long design's reference puts them, make many
// tiny factors in a row: a product of 64 of them underflows even where each lane of 16 does
// not, and a zero product gave an infinite weight.
TEST(BarycentricWeights, CrowdedNodesKeepTheirDoubleDoubleWeights) {
    std::vector<double> x;
    for (int k = 0; k < 100; ++k)
        x.push_back(1.0 - k * 1e-9);
    for (int k = 1; k < 100; ++k)
        x.push_back(std::cos(std::numbers::pi * k / 100));
    std::vector<double> weights(x.size());
    const int top = taplore::BarycentricWeights(x, weights);
    const std::vector<DoubleDouble> exact = taplore::ExactBarycentricWeights(x, top);
    for (std::size_t k = 0; k < x.size(); ++k) {
        const double reference = static_cast<double>(exact[k]);
        ASSERT_TRUE(std::isfinite(reference)) << "node " << k;
        EXPECT_NEAR(weights[k], reference, 1e-9 * std::fabs(reference)) << "node " << k;
    }
}

} // namespace
