// Minimum phase against its defining properties: the response keeps the requirements, every
// zero lies on or inside the unit circle, and no filter of the same magnitude has more of its
// energy in its first k taps.
#include "core/analysis/views.h"
#include "core/analysis/zeros.h"
#include "core/design/equiripple.h"
#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"

#include "filter_response.h"
#include "taps_from_zeros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {

using namespace taplore;
using Complex = std::complex<double>;

const Method& kEquiripple = *FindMethod("equiripple");

struct Case {
    const char* name;
    Requirements requirements;
};

const Case kCases[] = {
    {"low-pass", {8000, {{0, 1000, 1, 1}, {1500, 4000, 0, 1}}, 0.1, 60}},
    {"high-pass", {8000, {{0, 1200, 0, 1}, {1600, 4000, 1, 1}}, 0.5, 50}},
    {"band-pass", {8000, {{0, 800, 0, 1}, {1000, 2000, 1, 1}, {2300, 4000, 0, 1}}, 1, 40}},
    {"narrow low-pass, deep stop band", {8000, {{0, 400, 1, 1}, {500, 4000, 0, 1}}, 0.05, 80}},
};

// The energy of taps[0 ... k-1], for every k.
std::vector<double> PartialEnergies(const std::vector<double>& taps) {
    std::vector<double> energies(taps.size());
    double sum = 0;
    for (std::size_t k = 0; k < taps.size(); ++k)
        energies[k] = sum += taps[k] * taps[k];
    return energies;
}

// The same magnitude with every second zero inside the circle (with its conjugate) reflected
// to 1 / conj(z): half the way to maximum phase, near linear phase. Each reflection scales the
// magnitude by 1 / |z|, undone by matching the energy.
std::vector<double> MixedPhase(const std::vector<double>& taps, const TapZeros& found) {
    std::vector<Complex> zeros = found.zeros;
    bool reflect = false;
    for (Complex& zero : zeros) {
        if (std::abs(zero) >= 1 - 1e-6 || zero.imag() < 0)
            continue;
        if ((reflect = !reflect)) {
            if (zero.imag() > 0) {
                Complex& conjugate =
                    *std::min_element(zeros.begin(), zeros.end(), [&](Complex u, Complex v) {
                        return std::abs(u - std::conj(zero)) < std::abs(v - std::conj(zero));
                    });
                conjugate = 1.0 / zero;
            }
            zero = 1.0 / std::conj(zero);
        }
    }
    std::vector<double> mixed = TapsFromZeros(zeros, 1.0, taps.size());
    const double scale = std::sqrt(PartialEnergies(taps).back() / PartialEnergies(mixed).back());
    for (double& tap : mixed)
        tap *= scale;
    return mixed;
}

TEST(MinimumPhase, MeetsWithItsZerosInsideAndItsEnergyFirst) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Requirements& r = c.requirements;
        const MinimumPhaseDesign made = DesignMinimumPhase(r, kEquiripple, 0);
        // The deep stop band's prototype, 167 dB down, converges with the exchange's warning.
        ASSERT_TRUE(HasTaps(made.design.status)) << made.design.message;
        const std::vector<double>& taps = made.design.taps;
        EXPECT_TRUE(filter_response::Meets(taps, r));
        EXPECT_EQ(made.phase.prototypeTaps, 2 * static_cast<int>(taps.size()) - 1);

        const TapZeros found = FindZeros(taps);
        ASSERT_TRUE(found.problem.empty());
        for (const Complex zero : found.zeros)
            EXPECT_LE(std::abs(zero), 1 + 1e-9) << zero;

        const std::vector<double> maximum(taps.rbegin(), taps.rend());
        const std::vector<double> mixed = MixedPhase(taps, found);
        for (const double omega : {0.1, 1.0, 2.0, 3.0})
            EXPECT_NEAR(std::abs(filter_response::Response(mixed, omega)),
                        std::abs(filter_response::Response(taps, omega)), 1e-9);
        const auto first = PartialEnergies(taps);
        const double slack = 1e-12 * first.back();
        for (const auto& other : {PartialEnergies(maximum), PartialEnergies(mixed)})
            for (std::size_t k = 0; k < taps.size(); ++k)
                ASSERT_GE(first[k], other[k] - slack) << k;

        // Less delay than linear phase, and fewer taps for equiripple.
        EXPECT_LT(made.phase.highestDelay, made.phase.linearDelay);
        EXPECT_LE(made.phase.lowestDelay, made.phase.meanDelay);
        EXPECT_GT(made.phase.tapsSaved, 0);
        EXPECT_EQ(made.phase.tapsSaved, made.phase.linearTaps - static_cast<int>(taps.size()));
        EXPECT_EQ(made.phase.linearTaps,
                  static_cast<int>(DesignToTolerances(r, kEquiripple, 0).taps.size()));
    }
}

// The views of minimum-phase taps: the group delay is the phase's slope, -d arg H / d omega,
// taken here by central differences of H summed directly, and the report's range holds it.
TEST(MinimumPhase, GroupDelayViewIsThePhaseSlope) {
    const Requirements& r = kCases[0].requirements;
    const MinimumPhaseDesign made = DesignMinimumPhase(r, kEquiripple, 0);
    const int points = 512;
    const FrequencyViews views = ComputeFrequencyViews(made.design.taps, FrequencyGrid(points));
    for (int k = 1; k < points; k += 7) {
        const double omega = std::numbers::pi * k / points, h = 1e-6;
        const double slope = std::arg(filter_response::Response(made.design.taps, omega + h) /
                                      filter_response::Response(made.design.taps, omega - h)) /
                             (2 * h);
        EXPECT_NEAR(views.groupDelay[k], -slope, 1e-5 * std::max(1.0, std::fabs(slope))) << k;
        if (r.rate * k / (2 * points) <= r.bands[0].highHz) {
            EXPECT_GE(views.groupDelay[k], made.phase.lowestDelay - 1e-9);
            EXPECT_LE(views.groupDelay[k], made.phase.highestDelay + 1e-9);
        }
    }
}

// The factor's |H|^2 is the lifted prototype's amplitude, to the rounding, and its zeros are
// the prototype's inside the circle.
TEST(MinimumPhase, FactorSquaresToTheLiftedPrototype) {
    Requirements r;
    r.rate = 2;
    r.bands = {{0, 0.3, 1, 1}, {0.4, 1, 0, 1}};
    const std::vector<double> prototype = DesignEquiripple(r, 301).taps;
    const double lift = 1e-3 - LowestAmplitude(prototype);
    const std::vector<double> factor = MinimumPhaseFactor(prototype, lift);
    ASSERT_EQ(factor.size(), 151u);
    for (int k = 0; k <= 200; ++k) {
        const double omega = std::numbers::pi * k / 200;
        const double amplitude = filter_response::Amplitude(prototype, omega, false) + lift;
        EXPECT_NEAR(std::norm(filter_response::Response(factor, omega)), amplitude, 1e-12) << k;
    }
    EXPECT_TRUE(MinimumPhaseFactor(prototype, -LowestAmplitude(prototype) - 1e-3).empty())
        << "a prototype negative somewhere has no real factor";
}

TEST(MinimumPhase, TakesTheLengthAsked) {
    const Requirements r = kCases[0].requirements;
    const MinimumPhaseDesign made = DesignMinimumPhase(r, kEquiripple, 45);
    ASSERT_EQ(made.design.status, DesignStatus::converged) << made.design.message;
    EXPECT_EQ(made.design.taps.size(), 45u);
    EXPECT_EQ(made.phase.prototypeTaps, 89);
    EXPECT_EQ(made.phase.linearTaps, 45);
    EXPECT_EQ(made.phase.linearDelay, 22);
    EXPECT_LE(made.phase.largestZeroRadius, 1 + 1e-9);
}

// The report names the prototype's window parameter, as the prototype's own report does.
TEST(MinimumPhase, ReportsTheKaiserPrototypesBeta) {
    const Requirements r = kCases[0].requirements;
    const Method& kaiser = *FindMethod("kaiser");
    const MinimumPhaseDesign made = DesignMinimumPhase(r, kaiser, 0);
    ASSERT_TRUE(HasTaps(made.design.status)) << made.design.message;
    const RequirementsDesign prototype =
        DesignToTolerances(SquaredMagnitudeRequirements(r), kaiser, made.phase.prototypeTaps);
    EXPECT_EQ(made.design.report.beta, prototype.report.beta);
    EXPECT_GT(made.design.report.beta, 5.0);
}

// Too many taps for their zeros to be found in time: the design says they went unchecked.
TEST(MinimumPhase, WarnsWhereItsZerosAreNotChecked) {
    const MinimumPhaseDesign made =
        DesignMinimumPhase(kCases[0].requirements, *FindMethod("hann"), kMaxZerosTaps + 1);
    EXPECT_EQ(made.design.status, DesignStatus::convergedWithWarning);
    EXPECT_EQ(made.design.message,
              "the zeros of more than 4096 taps are not checked to lie inside the unit circle");
    EXPECT_TRUE(std::isnan(made.phase.largestZeroRadius));
}

// The squared requirements keep the target's: with A in 1 +- dp' and within 0.9 u of 0,
// sqrt(A + u) spans (1 + dp) / (1 - dp) in the pass band and stays within ds of it beyond.
TEST(MinimumPhase, SquaredRequirementsKeepTheTargets) {
    for (const auto& [rippleDb, attenuationDb] :
         {std::pair{0.1, 60.0}, {1.0, 40.0}, {0.01, 120.0}}) {
        Requirements r = kCases[0].requirements;
        r.rippleDb = rippleDb;
        r.attenuationDb = attenuationDb;
        const Requirements squared = SquaredMagnitudeRequirements(r);
        const double u = SquaredMagnitudeLift(r);
        const double dp = PassDeviation(squared.rippleDb);
        const double ds = StopDeviation(squared.attenuationDb);
        const double top = std::sqrt(1 + dp + u), bottom = std::sqrt(1 - dp + u);
        EXPECT_NEAR(top / bottom, std::pow(10, rippleDb / 20), 1e-12);
        const double gain = 2 / (top + bottom); // the pass band centred on 1
        EXPECT_LE(gain * std::sqrt(ds + u), StopDeviation(attenuationDb) * (1 + 1e-12));
    }
}

TEST(MinimumPhase, Refusals) {
    const Requirements r = kCases[0].requirements;
    EXPECT_EQ(DesignMinimumPhase(r, kEquiripple, 70000).design.message,
              "a minimum-phase design of 70000 taps needs a prototype of 139999, longer than the "
              "longest design (131071)");
    Requirements deep = r;
    deep.attenuationDb = 200;
    EXPECT_EQ(DesignMinimumPhase(deep, kEquiripple, 0).design.status, DesignStatus::refused);
    Requirements none = r;
    none.rippleDb = 0;
    EXPECT_EQ(DesignMinimumPhase(none, kEquiripple, 0).design.status, DesignStatus::refused);
}

} // namespace
