#include "core/fir_design.h"
#include "core/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Design {
    int result = 0;
    std::vector<double> taps;
};

Design Designed(int order, double f1, double f2, unsigned threads = 0) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    Design d;
    d.result = DesignFilter(coef, count, order, f1, f2, threads);
    if (coef)
        d.taps.assign(coef.get(), coef.get() + count);
    return d;
}

double Sum(const std::vector<double>& h) {
    double s = 0.0;
    for (double v : h)
        s += v;
    return s;
}

double AlternatingSum(const std::vector<double>& h) {
    double s = 0.0;
    for (std::size_t k = 0; k < h.size(); ++k)
        s += k % 2 == 0 ? h[k] : -h[k];
    return s;
}

// Gain at frequency f (1 = Nyquist) of a linear-phase filter, centred so it is real.
double Gain(const std::vector<double>& h, double f) {
    const double centre = (static_cast<double>(h.size()) - 1) / 2;
    double g = 0.0;
    for (std::size_t k = 0; k < h.size(); ++k)
        g += h[k] * std::cos(std::numbers::pi * f * (static_cast<double>(k) - centre));
    return g;
}

bool AllAre(const std::vector<double>& h, bool (*pred)(double)) {
    for (double v : h)
        if (!pred(v))
            return false;
    return !h.empty();
}

TEST(DesignFilter, TapCountFollowsTheParityOfTheOrder) {
    EXPECT_EQ(Designed(510, 0.0, 0.5).result, 511);
    EXPECT_EQ(Designed(511, 0.0, 0.5).result, 511);
    EXPECT_EQ(Designed(400, 0.0, 0.5).result, 401);
    EXPECT_EQ(Designed(3, 0.0, 0.5).result, 3);
    EXPECT_EQ(Designed(2, 0.0, 0.5).result, 3);
    EXPECT_EQ(Designed(0, 0.0, 0.5).result, 1);
    EXPECT_EQ(Designed(-1, 0.0, 0.5).result, -1);
    EXPECT_EQ(Designed(-4, 0.0, 0.5).result, -1); // even: -3 taps
    EXPECT_EQ(Designed(std::numeric_limits<int>::min(), 0.0, 0.5).result, -1);
}

TEST(DesignFilter, FailureLeavesTheBufferEmptyAndReleasesTheOldTaps) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    ASSERT_EQ(DesignFilter(coef, count, 511, 0.1, 0.6), 511);
    EXPECT_EQ(DesignFilter(coef, count, -4, 0.1, 0.6), -1);
    EXPECT_EQ(coef, nullptr);
    EXPECT_EQ(count, 0);
}

TEST(DesignFilter, ArrayLargerThanFreeMemoryFailsAtOnce) {
    mem::SetFreeBytesForTesting(4u << 20);
    EXPECT_EQ(Designed(1'000'000, 0.1, 0.6).result, -1); // 8 MB of taps
    EXPECT_EQ(Designed(511, 0.1, 0.6).result, 511);
    mem::SetFreeBytesForTesting(std::nullopt);
    // 2^31 - 1 taps need 16 GiB: never more than this machine can give at once in a test run.
    mem::SetFreeBytesForTesting(std::uint64_t{1} << 33);
    EXPECT_EQ(Designed(std::numeric_limits<int>::max(), 0.1, 0.6).result, -1);
    mem::SetFreeBytesForTesting(std::nullopt);
}

TEST(DesignFilter, GainsAreNormalisedPerBandType) {
    EXPECT_NEAR(Sum(Designed(511, 0.0, 0.6).taps), 1.0, 1e-12);
    EXPECT_NEAR(Sum(Designed(511, 0.6, 0.2).taps), 1.0, 1e-12);
    EXPECT_NEAR(AlternatingSum(Designed(401, 0.3, 1.0).taps), 1.0, 1e-12);
    // With an odd centre index the centre tap counts negatively, so the sum comes out near -1.
    EXPECT_NEAR(AlternatingSum(Designed(511, 0.3, 1.0).taps), -1.0, 0.01);
}

TEST(DesignFilter, BandStopWhoseWindowedSumIsNegativeStillSumsToOne) {
    // 511 taps at 8000 Hz, high slider at 0, low slider at 8 or 50: cutoffs 32 Hz or 200 Hz.
    for (double lowHz : {32.0, 200.0})
        EXPECT_NEAR(Sum(Designed(511, lowHz / 8000 * 2, 0.0).taps), 1.0, 1e-9) << lowHz;
}

TEST(DesignFilter, BandPassIsNotScaled) {
    const auto h = Designed(511, 0.1, 0.6).taps;
    // The window is 1 at the centre, so the centre tap is the ideal f2 - f1.
    EXPECT_NEAR(h[255], 0.5, 1e-9);
    EXPECT_NEAR(Gain(h, 0.35), 1.0, 0.01);
    EXPECT_GT(std::fabs(Sum(h) - 1.0), 0.5);
}

TEST(DesignFilter, TapsAreSymmetric) {
    for (auto [f1, f2] : {std::pair{0.0, 0.6}, {0.3, 1.0}, {0.1, 0.6}, {0.6, 0.1}}) {
        const auto h = Designed(511, f1, f2).taps;
        double largest = 0.0;
        for (double v : h)
            largest = std::max(largest, std::fabs(v));
        for (std::size_t k = 0; k < h.size(); ++k)
            EXPECT_NEAR(h[k], h[h.size() - 1 - k], 1e-10 * largest)
                << f1 << " " << f2 << " k=" << k;
    }
}

enum class Shape { lowPass, highPass, bandPass, bandStop, zeros };

Shape ShapeOf(const std::vector<double>& h) {
    if (AllAre(h, [](double v) { return v == 0.0; }))
        return Shape::zeros;
    const bool passesDc = std::fabs(Gain(h, 0.0) - 1.0) < 0.01;
    const bool passesNyquist = std::fabs(std::fabs(Gain(h, 1.0)) - 1.0) < 0.01;
    if (passesDc)
        return passesNyquist ? Shape::bandStop : Shape::lowPass;
    return passesNyquist ? Shape::highPass : Shape::bandPass;
}

TEST(DesignFilter, CutoffPlaneSelectsTheBandType) {
    struct Row {
        double f1, f2;
        Shape shape;
    };
    const Row rows[] = {
        {0.0, 0.4, Shape::lowPass},  {0.4, 1.0, Shape::highPass}, {0.2, 0.6, Shape::bandPass},
        {0.6, 0.2, Shape::bandStop}, {0.0, 1.0, Shape::zeros},    {0.5, 0.5, Shape::zeros},
        {-0.1, 0.5, Shape::zeros},   {0.2, 1.1, Shape::zeros},    {0.0, 1.5, Shape::zeros},
        {kNaN, 1.5, Shape::zeros},   {kNaN, 1.0, Shape::zeros},   {-kInf, 0.5, Shape::zeros},
        {0.0, kInf, Shape::zeros},   {0.2, kInf, Shape::zeros},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShapeOf(Designed(101, row.f1, row.f2).taps), row.shape)
            << row.f1 << " " << row.f2;
}

TEST(DesignFilter, NotANumberCutoffFollowsTheTable) {
    // A NaN f1 counts as 0: a low-pass built from f2 alone.
    EXPECT_EQ(Designed(101, kNaN, 0.4).taps, Designed(101, 0.0, 0.4).taps);
    // A NaN f2 with f1 > 0 counts as 1: a high-pass built from f1 alone.
    EXPECT_EQ(Designed(101, 0.3, kNaN).taps, Designed(101, 0.3, 1.0).taps);
    const auto isNaN = [](double v) { return std::isnan(v); };
    EXPECT_TRUE(AllAre(Designed(101, kNaN, kNaN).taps, isNaN));
    EXPECT_TRUE(AllAre(Designed(101, kInf, 0.5).taps, isNaN));  // band-stop from infinity
    EXPECT_TRUE(AllAre(Designed(101, 0.0, -kInf).taps, isNaN)); // low-pass from minus infinity
    EXPECT_TRUE(AllAre(Designed(101, 0.0, 0.0).taps, isNaN));   // cutoff 0: every tap 0/0
    EXPECT_TRUE(AllAre(Designed(1, 0.0, 0.5).taps, isNaN));     // one tap: window step 0*inf
}

TEST(DesignFilter, SmallDesignsMatchHandWorkedTaps) {
    // Three taps: window (0.08, 1, 0.08), ideal low-pass (1/pi, 0.5, 1/pi) at f2 = 0.5.
    const double side = 0.08 / std::numbers::pi;
    const double lowSum = 0.5 + 2 * side;
    const auto lp = Designed(3, 0.0, 0.5).taps;
    EXPECT_NEAR(lp[0], side / lowSum, 1e-9);
    EXPECT_NEAR(lp[1], 0.5 / lowSum, 1e-9);
    EXPECT_NEAR(lp[2], side / lowSum, 1e-9);

    // Five taps: window (0.08, 0.54, 1, 0.54, 0.08); ideal at f1 = 0.5 is (0, 1/pi, 0.5, 1/pi, 0),
    // negated, the centre raised by 1; the alternating sum is 0.5 + 1.08/pi.
    const double hpSum = 0.5 + 1.08 / std::numbers::pi;
    const auto hp = Designed(5, 0.5, 1.0).taps;
    EXPECT_NEAR(hp[0], 0.0, 1e-9);
    EXPECT_NEAR(hp[1], -0.54 / std::numbers::pi / hpSum, 1e-9);
    EXPECT_NEAR(hp[2], 0.5 / hpSum, 1e-9);
    EXPECT_NEAR(hp[3], -0.54 / std::numbers::pi / hpSum, 1e-9);
    EXPECT_NEAR(hp[4], 0.0, 1e-9);
    // The outer ideal taps are sin(pi)/(2 pi): zero but for the rounding of pi itself.
    EXPECT_LT(std::fabs(hp[0]), 1e-15);
    EXPECT_LT(std::fabs(hp[4]), 1e-15);
}

// The first index where the two designs differ in any bit (NaN included), or -1.
long FirstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::memcmp(&a[k], &b[k], sizeof(double)) != 0)
            return static_cast<long>(k);
    return -1;
}

TEST(DesignFilter, ThreadSplitGivesTheBitsOfOneThread) {
    std::mt19937 random(10);
    std::uniform_real_distribution<double> cutoff(0.0, 1.0);
    std::vector<int> orders = {0, 2, 5, 6, kParallelDesignTaps - 1, kParallelDesignTaps};
    std::uniform_int_distribution<int> order(1, 3 * kParallelDesignTaps);
    for (int i = 0; i < 6; ++i)
        orders.push_back(order(random));
    for (const int n : orders) {
        const double a = cutoff(random), b = cutoff(random);
        const std::pair<double, double> bandTypes[] = {
            {0.0, a}, {a, 1.0}, {std::min(a, b), std::max(a, b)}, {std::max(a, b), std::min(a, b)}};
        for (const auto& [f1, f2] : bandTypes) {
            const auto oneThread = Designed(n, f1, f2, 1).taps;
            for (const unsigned threads : {0u, 2u, 3u, 8u})
                EXPECT_EQ(FirstDifference(Designed(n, f1, f2, threads).taps, oneThread), -1)
                    << "order " << n << ", cutoffs " << f1 << " " << f2 << ", threads " << threads;
        }
    }
}

} // namespace
