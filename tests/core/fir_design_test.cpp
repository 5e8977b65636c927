#include "core/design/fir_design.h"
#include "core/formats/crt.h"
#include "core/io/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// Cutoffs the sliders reach where the windowed sum of a band-stop is negative: the taps are
// divided by its magnitude, so they keep its sign rather than being flipped to sum to +1.
TEST(DesignFilter, BandStopsWithANegativeSumKeepItsSign) {
    // 511 taps at 8000 Hz, low label "32.0", high label "0.0".
    EXPECT_NEAR(Sum(Designed(511, (32.0 / 8000) * 2, 0.0).taps), -1.0, 1e-9);
    // 33 taps, low slider at its end, high at 0: finite taps, not a division by zero.
    const auto h = Designed(33, 1.0, 0.0).taps;
    EXPECT_TRUE(AllAre(h, [](double v) { return std::isfinite(v); }));
    EXPECT_NEAR(h[0], 0.0869575, 1e-6);
    EXPECT_NEAR(Sum(h), -1.00001, 1e-5);
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
    // The outer ideal taps are sin(pi)/(2 pi) with pi cut off after ten decimals: not zero
    // but the truncation's residue, which saved files carry.
    EXPECT_NEAR(hp[0], -1.35496e-12, 1.35496e-16);
    EXPECT_EQ(hp[4], hp[0]);
}

TEST(DesignFilter, StartUpDesignKeepsItsTinyPositiveTap) {
    // Tap 3 of the start-up band-pass is about +9.29e-13, saved as "0.000000", not "-0.000000".
    const auto h = Designed(511, 0.1, 0.6).taps;
    EXPECT_NEAR(h[3], 9.29e-13, 0.01e-13);
    EXPECT_EQ(crt::FormatF(h[3]), "0.000000");
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

// The design written out step by step as one plain loop over the taps (ideal response, then
// window and running sum, then inversion and scaling): no chunks, no threads.
std::vector<double> StepByStep(int order, double f1, double f2) {
    const int n = order % 2 != 0 ? order : order + 1;
    const int c = (n - 1) / 2;
    const BandType type = SelectBand(f1, f2);
    std::vector<double> h(n, 0.0);
    if (type == BandType::none)
        return h;
    const double centre[] = {0, f2, f1, f2 - f1, f1 - f2};
    h[c] = centre[static_cast<int>(type)];
    for (int j = 1; j <= c; ++j) {
        const double t = 3.1415926535 * j;
        double v = 0.0;
        if (type == BandType::lowPass)
            v = std::sin(t * f2) / t;
        else if (type == BandType::highPass)
            v = std::sin(t * f1) / t;
        else if (type == BandType::bandPass)
            v = 2.0 * (std::sin(t * (f2 - f1) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
        else
            v = 2.0 * (std::sin(t * (f1 - f2) * 0.5) * std::cos(t * (f2 + f1) * 0.5)) / t;
        h[c + j] = h[c - j] = v;
    }
    const bool inverted = type == BandType::highPass || type == BandType::bandStop;
    const double s = 6.283185307 / (n - 1);
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
        const double w = 0.54 - std::cos(k * s) * 0.46;
        h[k] = inverted ? -(w * h[k]) : w * h[k];
        sum = type == BandType::highPass && k % 2 != 0 ? sum - h[k] : sum + h[k];
    }
    if (type == BandType::bandPass)
        return h;
    if (inverted) {
        h[c] = h[c] + 1.0;
        sum = sum + 1.0;
    }
    for (double& v : h)
        v = v / std::fabs(sum);
    return h;
}

TEST(DesignFilter, EveryThreadCountGivesTheBitsOfThePlainLoop) {
    struct Case {
        int order;
        double f1, f2;
    };
    // The designs pinned above, then long ones across several chunks of work.
    std::vector<Case> cases = {{5, 0.5, 1.0},    {511, 0.1, 0.6},
                               {33, 1.0, 0.0},   {511, (32.0 / 8000) * 2, 0.0},
                               {8191, 0.0, 0.3}, {8191, 0.2, 0.7}};
    std::mt19937 random(10);
    std::uniform_real_distribution<double> cutoff(0.0, 1.0);
    std::vector<int> orders = {0, 2, 6, kParallelDesignTaps - 1, kParallelDesignTaps};
    std::uniform_int_distribution<int> order(1, 3 * kParallelDesignTaps);
    for (int i = 0; i < 6; ++i)
        orders.push_back(order(random));
    for (const int n : orders) {
        const double a = cutoff(random), b = cutoff(random);
        cases.insert(cases.end(), {{n, 0.0, a},
                                   {n, a, 1.0},
                                   {n, std::min(a, b), std::max(a, b)},
                                   {n, std::max(a, b), std::min(a, b)}});
    }
    for (const Case& c : cases) {
        const auto expected = StepByStep(c.order, c.f1, c.f2);
        for (const unsigned threads : {0u, 1u, 2u, 3u, 8u})
            EXPECT_EQ(FirstDifference(Designed(c.order, c.f1, c.f2, threads).taps, expected), -1)
                << "order " << c.order << ", cutoffs " << c.f1 << " " << c.f2 << ", threads "
                << threads;
    }
}

// A long design that is followed, and one that is stopped: every band type, also the one no
// cutoffs match, on one thread and on several.
struct Followed {
    int result = 0;
    int count = 0;
    bool empty = false;
    std::vector<double> taps;
    std::vector<double> reports;
};

Followed DesignFollowed(int order, double f1, double f2, unsigned threads, int stopAfter) {
    std::shared_ptr<double[]> coef(new double[3]{1, 2, 3});
    Followed f;
    std::atomic<int> calls = 0;
    f.result = DesignFilter(coef, f.count, order, f1, f2, threads, [&](double done) {
        if (threads == 1)
            f.reports.push_back(done);
        return ++calls < stopAfter;
    });
    f.empty = !coef;
    if (coef)
        f.taps.assign(coef.get(), coef.get() + f.count);
    if (threads != 1)
        f.reports.assign(static_cast<std::size_t>(calls.load()), 0.0);
    return f;
}

const std::pair<double, double> kEveryBandType[] = {
    {0.0, 0.3}, {0.3, 1.0}, {0.2, 0.7}, {0.7, 0.2}, {1.5, 1.5}};

TEST(DesignProgress, FollowedDesignsKeepTheirBitsAndReportUpToTheEnd) {
    constexpr int order = 100'000; // dozens of chunks of work
    for (const auto& [f1, f2] : kEveryBandType) {
        for (const unsigned threads : {1u, 2u}) {
            const Followed f = DesignFollowed(order, f1, f2, threads, INT32_MAX);
            EXPECT_EQ(FirstDifference(f.taps, Designed(order, f1, f2).taps), -1)
                << f1 << " " << f2 << " on " << threads;
            EXPECT_EQ(f.result, order + 1);
            EXPECT_GE(f.reports.size(), 25u) << "the bar moves in many steps";
        }
        const Followed one = DesignFollowed(order, f1, f2, 1, INT32_MAX);
        EXPECT_TRUE(std::is_sorted(one.reports.begin(), one.reports.end()));
        EXPECT_GT(one.reports.front(), 0.0);
        EXPECT_EQ(one.reports.back(), 1.0) << f1 << " " << f2;
    }
}

TEST(DesignProgress, StoppedDesignEndsAtOnceWithAnEmptyBuffer) {
    for (const auto& [f1, f2] : kEveryBandType) {
        for (const unsigned threads : {1u, 2u, 4u}) {
            const Followed f = DesignFollowed(1'000'000, f1, f2, threads, 3);
            EXPECT_EQ(f.result, kDesignStopped);
            EXPECT_TRUE(f.empty) << "the old taps are released, the new ones dropped";
            EXPECT_EQ(f.count, 0);
            // Each thread finishes the chunk it holds, no more: 3 reports, plus one a thread.
            EXPECT_LE(f.reports.size(), 3u + threads) << f1 << " " << f2 << " on " << threads;
        }
    }
}

} // namespace
