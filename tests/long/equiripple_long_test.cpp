// Designs too long for every run of the tests (`make test-long`): the longest requirements other
// Parks-McClellan implementations were reported to fail on, held to the alternation theorem.
// Edges are at rate 2, so 1 Hz is half the rate.

#include "core/design/equiripple.h"

#include "alternation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace taplore;
using namespace alternation;

// The 106,497-tap low-pass with bands [0, 1/8192] and [3/8192, 1], a 200 dB design: S.-I. Filip,
// "A robust and scalable implementation of the Parks-McClellan algorithm", ACM TOMS 43(1), 2016,
// converged on it only in long double.
TEST(EquirippleLong, FilipsLongestLowPassConvergesAndAlternates) {
    constexpr int kTaps = 106'497;
    Requirements requirements;
    requirements.rate = 2.0;
    requirements.bands = {{0, 1.0 / 8192, 1, 1}, {3.0 / 8192, 1, 0, 1}};

    const auto start = std::chrono::steady_clock::now();
    const EquirippleResult result = DesignEquiripple(requirements, kTaps);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("deviation", std::to_string(result.deviation));
    RecordProperty("iterations", std::to_string(result.iterations));
    ASSERT_EQ(result.status, DesignStatus::converged) << result.message;
    ASSERT_EQ(static_cast<int>(result.taps.size()), kTaps);

    const Alternation alternation =
        Alternations(OddSymmetricErrorCurve(result.taps, requirements.bands));
    RecordProperty("alternation", std::to_string(alternation.extrema));
    // The exchange measures its band edges on the polynomial it interpolates; the taps hold its
    // 53,249 coefficients rounded, which moves the error at the stop band's edge by 4e-5 of it.
    EXPECT_NEAR(alternation.largest, result.deviation, 1e-4 * alternation.largest);
    EXPECT_GE(alternation.extrema, FreeCoefficients(kTaps, ResponseKind::ordinary) + 1);
}

} // namespace
