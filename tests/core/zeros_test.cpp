// The zeros against the taps they come from: the polynomial rebuilt from them, their places
// for polynomials whose roots are known, and the zeros at 0 and infinity of zero taps.
#include "core/analysis/zeros.h"
#include "core/design/equiripple.h"
#include "core/design/pulse_shaping.h"
#include "core/design/windowed.h"

#include "taps_from_zeros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace {

using namespace taplore;
using Complex = std::complex<double>;

double Norm(const std::vector<double>& taps) {
    return std::sqrt(std::inner_product(taps.begin(), taps.end(), taps.begin(), 0.0));
}

Requirements LowPass(double pass, double stop, double rippleDb, double attenuationDb) {
    Requirements r;
    r.rate = 2;
    r.bands = {{0, pass, 1, 1}, {stop, 1, 0, 1}};
    r.rippleDb = rippleDb;
    r.attenuationDb = attenuationDb;
    return r;
}

struct FilterCase {
    const char* name;
    std::vector<double> taps;
    // On the rebuilt taps' largest error over the taps' 2-norm. Measured: 4e-14 for the
    // 1024-tap designs; the Gaussian's end taps are 1e-12 of its middle, its zeros spread over
    // radii from 0.06 to 16 and are ill-conditioned: 7e-13.
    double bound;
};

std::vector<FilterCase> Filters() {
    const Requirements narrow = LowPass(0.2, 0.22, 0.1, 80);
    const auto pulse = [](PulseShape shape, int span, int sps, double shaping) {
        return DesignPulse({shape, span, sps, shaping, std::nullopt}).taps;
    };
    return {
        {"equiripple, 1024 taps", DesignEquiripple(LowPass(0.3, 0.32, 0, 0), 1024).taps, 1e-13},
        {"equiripple, 1023 taps", DesignEquiripple(narrow, 1023).taps, 1e-13},
        // Its end taps are 0: a zero at 0 and one at infinity.
        {"Hann window, 1024 taps", DesignWindowed(narrow, 1024, WindowKind::hann, 0).taps, 1e-13},
        {"Kaiser window, 1001 taps", DesignWindowed(narrow, 1001, WindowKind::kaiser, 8).taps,
         1e-13},
        {"Blackman window, 257 taps", DesignWindowed(narrow, 257, WindowKind::blackman, 0).taps,
         1e-13},
        {"root raised cosine, 513 taps", pulse(PulseShape::rootRaisedCosine, 64, 8, 0.35), 1e-13},
        {"Gaussian, 33 taps", pulse(PulseShape::gaussian, 4, 8, 0.5), 2e-12},
    };
}

// The taps rebuilt from the zeros times the leading tap: within the bound relative to the
// taps' norm, each zero's residual at the rounding level, sorted by angle, and the zeros of a
// real polynomial in conjugate pairs.
TEST(Zeros, RebuildTheTaps) {
    for (const FilterCase& c : Filters()) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.taps.empty());
        const TapZeros found = FindZeros(c.taps);
        ASSERT_TRUE(found.problem.empty()) << found.problem;
        ASSERT_EQ(found.zeros.size() + found.atInfinity, c.taps.size() - 1);
        const double leading = c.taps[found.atInfinity];
        const std::vector<double> rebuilt = TapsFromZeros(found.zeros, leading, c.taps.size());
        double error = 0;
        for (std::size_t n = 0; n < c.taps.size(); ++n)
            error = std::max(error, std::fabs(rebuilt[n] - c.taps[n]));
        EXPECT_LE(error / Norm(c.taps), c.bound);
        EXPECT_LE(found.largestResidual, 1e-14);
        EXPECT_TRUE(std::is_sorted(found.zeros.begin(), found.zeros.end(),
                                   [](Complex u, Complex v) { return std::arg(u) < std::arg(v); }));
        Complex sum = 0;
        for (const Complex zero : found.zeros)
            sum += zero;
        EXPECT_NEAR(sum.imag(), 0.0, 1e-9);
        // The sum of the roots is -a[1] / a[0].
        EXPECT_NEAR(sum.real(), -c.taps[found.atInfinity + 1] / leading,
                    1e-9 * std::abs(c.taps[1] / c.taps[0]) + 1e-9);
    }
}

struct KnownCase {
    const char* name;
    std::vector<double> taps;
    std::vector<Complex> zeros; // sorted by angle
    int atInfinity;
    double tolerance;
};

const double kHalf = std::numbers::sqrt2 / 2;
const KnownCase kKnown[] = {
    {"z^4 - 1", {1, 0, 0, 0, -1}, {{0, -1}, {1, 0}, {0, 1}, {-1, 0}}, 0, 1e-15},
    {"a delay and a zero tap at the end", {0, 0, 2, -2, 0}, {{0, 0}, {1, 0}}, 2, 1e-15},
    {"z^2 - sqrt2 z + 1",
     {1, -std::numbers::sqrt2, 1},
     {{kHalf, -kHalf}, {kHalf, kHalf}},
     0,
     1e-15},
    {"(z - 1/2)(z - 2)", {1, -2.5, 1}, {{0.5, 0}, {2, 0}}, 0, 1e-15},
    // A double zero is found to about the square root of the rounding.
    {"(z + 1)^2", {1, 2, 1}, {{-1, 0}, {-1, 0}}, 0, 1e-7},
    {"one tap", {3}, {}, 0, 0},
    {"one tap, delayed", {0, 0, -3, 0}, {{0, 0}}, 2, 0},
};

TEST(Zeros, KnownRoots) {
    for (const KnownCase& c : kKnown) {
        SCOPED_TRACE(c.name);
        const TapZeros found = FindZeros(c.taps);
        ASSERT_TRUE(found.problem.empty());
        EXPECT_EQ(found.atInfinity, c.atInfinity);
        ASSERT_EQ(found.zeros.size(), c.zeros.size());
        for (std::size_t i = 0; i < c.zeros.size(); ++i)
            EXPECT_LE(std::abs(found.zeros[i] - c.zeros[i]), c.tolerance) << i;
    }
}

TEST(Zeros, RefusesTapsWithoutZeros) {
    EXPECT_EQ(FindZeros(std::vector<double>{0, 0, 0}).problem,
              "every tap is 0, so every point is a zero");
    EXPECT_EQ(FindZeros(std::vector<double>{}).problem, "every tap is 0, so every point is a zero");
    EXPECT_EQ(FindZeros(std::vector<double>{1, NAN, 1}).problem, "the taps are not all finite");
    EXPECT_EQ(FindZeros(std::vector<double>(kMaxZerosTaps + 1, 1.0)).problem,
              "the zeros are found for up to 4096 taps");
}

// Far from the unit circle the powers of z would overflow; the residual is a ratio that does
// not.
TEST(Zeros, ResidualStaysInRangeFarOut) {
    const std::vector<double> taps(1024, 1.0);
    EXPECT_NEAR(Residual(taps, Complex(1e300, 0)), 1.0, 1e-12);
    EXPECT_NEAR(Residual(taps, Complex(1e-300, 0)), 1.0, 1e-12);
    // 1 + z^-1 + ... + z^-1023 vanishes at the 1024th roots of unity but 1.
    EXPECT_LE(Residual(taps, std::polar(1.0, 2 * std::numbers::pi / 1024)), 1e-13);
}

} // namespace
