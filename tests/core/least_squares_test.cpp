// Least squares against its definition: the weighted integral squared error, integrated here
// by Gauss-Legendre quadrature from the taps' own amplitude, is at its minimum, so that its
// gradient (the normal equations) vanishes and any small change of the taps raises it.

#include "core/design/least_squares.h"
#include "core/design/methods.h"
#include "filter_response.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace taplore;

constexpr double kPi = std::numbers::pi;

// The 16 nodes and weights of Gauss-Legendre quadrature on [-1, 1], by Newton's method on P16.
struct GaussLegendre {
    std::array<double, 16> x{}, w{};
    GaussLegendre() {
        constexpr int n = 16;
        for (int i = 0; i < n; ++i) {
            double t = std::cos(kPi * (i + 0.75) / (n + 0.5)), derivative = 0.0;
            for (int step = 0; step < 100; ++step) {
                double p0 = 1.0, p1 = t;
                for (int k = 2; k <= n; ++k) {
                    const double p2 = ((2.0 * k - 1) * t * p1 - (k - 1.0) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                derivative = n * (t * p1 - p0) / (t * t - 1);
                const double next = t - p1 / derivative;
                if (next == t)
                    break;
                t = next;
            }
            x[i] = t;
            w[i] = 2 / ((1 - t * t) * derivative * derivative);
        }
    }
};

// visit(omega, quadrature weight, band) over every band, in panels short enough for the
// amplitude's fastest cosine to turn by at most about a radian in each.
template <class Visit> void OverBands(const Requirements& r, int taps, const Visit& visit) {
    static const GaussLegendre rule;
    for (const Band& band : r.bands) {
        const double low = filter_response::Radians(band.lowHz, r.rate);
        const double high = filter_response::Radians(band.highHz, r.rate);
        const int panels = 4 + static_cast<int>((high - low) * taps / 2);
        const double width = (high - low) / panels;
        for (int p = 0; p < panels; ++p)
            for (int i = 0; i < 16; ++i)
                visit(low + width * (p + (rule.x[i] + 1) / 2), rule.w[i] * width / 2, band);
    }
}

double Asked(const Requirements& r, const Band& band, double omega) {
    const double gain = filter_response::AtFrequency(band, omega / (2 * kPi) * r.rate).gain;
    switch (r.kind) {
    case ResponseKind::hilbert: // the Hilbert transform's -j
        return -gain;
    case ResponseKind::differentiator:
        return gain * omega;
    case ResponseKind::ordinary:
        break;
    }
    return gain;
}

bool Antisymmetric(const Requirements& r) {
    return r.kind != ResponseKind::ordinary;
}

double SquaredError(const Requirements& r, const std::vector<double>& taps) {
    double sum = 0.0;
    OverBands(r, static_cast<int>(taps.size()), [&](double omega, double w, const Band& band) {
        const double e = band.weight * (filter_response::Amplitude(taps, omega, Antisymmetric(r)) -
                                        Asked(r, band, omega));
        sum += w * e * e;
    });
    return sum;
}

// The change of taps in the direction of the form: tap k and its mirror, alike for symmetric
// taps and opposite for antisymmetric ones.
std::vector<double> Direction(const Requirements& r, int taps, int k) {
    std::vector<double> v(taps, 0.0);
    v[k] = 1.0;
    v[taps - 1 - k] = Antisymmetric(r) && taps - 1 - k != k ? -1.0 : 1.0;
    return v;
}

// The amplitude of Direction(r, taps, k): 2 cos(t w) or 2 sin(t w), t = c - k samples from the
// centre c; 1 for the centre tap itself.
double DirectionAmplitude(const Requirements& r, int taps, int k, double omega) {
    const double t = (taps - 1) / 2.0 - k;
    if (t == 0.0)
        return Antisymmetric(r) ? 0.0 : 1.0;
    return 2 * (Antisymmetric(r) ? std::sin(t * omega) : std::cos(t * omega));
}

// The normal equations in the taps' own coordinates: the gradient of the error along each
// direction of the form, against the same integral of the asked response alone.
double QuadratureResidual(const Requirements& r, const std::vector<double>& taps) {
    const int n = static_cast<int>(taps.size());
    struct Point {
        double omega, weight, error, desired;
    };
    std::vector<Point> points;
    OverBands(r, n, [&](double omega, double w, const Band& band) {
        const double desired = Asked(r, band, omega);
        const double amplitude = filter_response::Amplitude(taps, omega, Antisymmetric(r));
        points.push_back({omega, band.weight * band.weight * w, amplitude - desired, desired});
    });
    double gradient = 0.0, asked = 0.0;
    for (int k = 0; k < (n + 1) / 2; ++k) {
        double g = 0.0, p = 0.0;
        for (const Point& point : points) {
            const double along = DirectionAmplitude(r, n, k, point.omega);
            g += point.weight * point.error * along;
            p += point.weight * point.desired * along;
        }
        gradient += g * g;
        asked += p * p;
    }
    return std::sqrt(gradient / asked);
}

struct Case {
    const char* name;
    ResponseKind kind;
    int taps;
    std::vector<Band> bands;
};

const Case kCases[] = {
    {"low-pass, odd", ResponseKind::ordinary, 61, {{0, 1000, 1, 1}, {1500, 4000, 0, 10}}},
    {"low-pass, even", ResponseKind::ordinary, 60, {{0, 1000, 1, 1}, {1500, 4000, 0, 10}}},
    {"band-pass, three weights",
     ResponseKind::ordinary,
     101,
     {{0, 800, 0, 3}, {1200, 2400, 1, 1}, {2800, 4000, 0, 0.5}}},
    {"Hilbert, odd", ResponseKind::hilbert, 41, {{200, 3800, 1, 1}}},
    {"Hilbert, even", ResponseKind::hilbert, 40, {{200, 4000, 1, 1}}},
    {"differentiator, even", ResponseKind::differentiator, 30, {{0, 3500, 1, 1}}},
    {"differentiator, odd", ResponseKind::differentiator, 31, {{0, 3000, 0.5, 1}}},
    {"long low-pass", ResponseKind::ordinary, 1001, {{0, 1000, 1, 1}, {1050, 4000, 0, 1}}},
    // Sloped gains: the error is taken from each band's line.
    {"falling pass band",
     ResponseKind::ordinary,
     61,
     {{0, 3000, 1, 1, std::nullopt, 0.25}, {3500, 4000, 0, 1}}},
    {"rising and falling, even",
     ResponseKind::ordinary,
     50,
     {{0, 1200, 0.2, 1, std::nullopt, 1}, {1600, 2800, 1, 3, std::nullopt, 0}, {3200, 4000, 0, 1}}},
    {"sloped Hilbert", ResponseKind::hilbert, 40, {{200, 4000, 0.5, 1, std::nullopt, 1}}},
};

Requirements RequirementsOf(const Case& c) {
    Requirements r;
    r.rate = 8000;
    r.kind = c.kind;
    r.bands = c.bands;
    return r;
}

TEST(LeastSquares, TheNormalEquationsHold) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Requirements r = RequirementsOf(c);
        const RequirementsDesign design = DesignLeastSquares(r, c.taps);
        ASSERT_EQ(design.status, DesignStatus::converged) << design.message;
        ASSERT_EQ(design.taps.size(), std::size_t(c.taps));
        EXPECT_LT(QuadratureResidual(r, design.taps), 1e-10);
        EXPECT_LT(NormalEquationsResidual(r, design.taps), 1e-12);
        ASSERT_TRUE(design.report.squaredError);
        // The report's closed form subtracts figures of about 1: rounding leaves ~1e-14 of it.
        EXPECT_NEAR(*design.report.squaredError, SquaredError(r, design.taps),
                    1e-9 * SquaredError(r, design.taps) + 1e-13);
    }
}

// Up and down along every direction of the form, by a step the quadrature resolves.
TEST(LeastSquares, AnySmallChangeOfTheTapsRaisesTheError) {
    for (const Case& c : kCases) {
        if (c.taps > 101)
            continue; // the long design's directions cost a quadrature each
        SCOPED_TRACE(c.name);
        const Requirements r = RequirementsOf(c);
        const std::vector<double> taps = DesignLeastSquares(r, c.taps).taps;
        const double least = SquaredError(r, taps);
        for (int k = 0; k < (c.taps + 1) / 2; ++k) {
            if (Antisymmetric(r) && k == c.taps - 1 - k)
                continue;
            const std::vector<double> v = Direction(r, c.taps, k);
            for (double step : {1e-4, -1e-4}) {
                std::vector<double> moved = taps;
                for (int n = 0; n < c.taps; ++n)
                    moved[n] += step * v[n];
                EXPECT_GT(SquaredError(r, moved), least) << "tap " << k << ", step " << step;
            }
        }
    }
}

TEST(LeastSquares, HilbertTransformersAndDifferentiatorsAreAntisymmetric) {
    for (const Case& c : kCases) {
        if (c.kind == ResponseKind::ordinary)
            continue;
        SCOPED_TRACE(c.name);
        const std::vector<double> taps = DesignLeastSquares(RequirementsOf(c), c.taps).taps;
        for (int n = 0; n < c.taps; ++n)
            EXPECT_EQ(taps[n], -taps[c.taps - 1 - n]) << n;
    }
}

TEST(LeastSquares, RefusesWhatTheFormCannotGive) {
    Requirements r = RequirementsOf(kCases[0]);
    EXPECT_EQ(DesignLeastSquares(r, 0).status, DesignStatus::refused);
    EXPECT_EQ(DesignLeastSquares(r, kMaxLeastSquaresTaps + 1).status, DesignStatus::refused);
    r.bands.back().gain = 1; // asked at half the rate, where even symmetric taps give nothing
    EXPECT_EQ(DesignLeastSquares(r, 60).status, DesignStatus::refused);
    r.kind = ResponseKind::hilbert; // and nothing at 0 Hz for antisymmetric taps
    EXPECT_EQ(DesignLeastSquares(r, 61).status, DesignStatus::refused);
}

// Thousands of taps with a narrow transition: the matrix is close to singular (the transition
// leaves it free), yet the solution holds its equations to rounding and meets a plain low-pass.
TEST(LeastSquares, StaysAccurateAtThousandsOfTaps) {
    Requirements r;
    r.rate = 8000;
    r.bands = {{0, 1000, 1, 1}, {1010, 4000, 0, 1}};
    const RequirementsDesign design = DesignLeastSquares(r, 3001);
    ASSERT_EQ(design.status, DesignStatus::converged) << design.message;
    EXPECT_LT(NormalEquationsResidual(r, design.taps), 1e-10);
    EXPECT_LT(filter_response::LargestDeviation(design.taps, {0, 990, 1, 1}, r.rate), 0.01);
    EXPECT_LT(filter_response::LargestDeviation(design.taps, {1020, 4000, 0, 1}, r.rate), 0.01);
}

TEST(LeastSquares, IsARowOfTheMethodTable) {
    const Method* method = FindMethod("least-squares");
    ASSERT_NE(method, nullptr);
    EXPECT_TRUE(method->bands && method->tolerances && method->antisymmetric && method->Searches());
}

} // namespace
