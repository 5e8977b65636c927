#include "core/analysis/log_magnitude.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <vector>

namespace {

struct Spectrum {
    std::unique_ptr<double[]> magDb;
    int nBins = 0;

    int Compute(const std::vector<double>& taps, int count) {
        return ComputeLogMagnitude(taps.data(), count, magDb, nBins);
    }
    int Compute(const std::vector<double>& taps) {
        return Compute(taps, static_cast<int>(taps.size()));
    }
};

} // namespace

// An impulse has unit gain at every frequency, wherever it sits; the last of 1024 taps
// shows that a full-length filter is transformed as is.
TEST(Spectrum, ImpulseIsZeroDbEverywhere) {
    for (int delay : {0, 1, 1023}) {
        std::vector<double> taps(delay + 1);
        taps[delay] = 1.0;
        Spectrum s;
        ASSERT_EQ(s.Compute(taps), kSpectrumBins) << delay;
        EXPECT_EQ(s.nBins, kSpectrumBins);
        EXPECT_EQ(s.magDb[0], 0.0);
        for (int k = 1; k < kSpectrumBins; ++k)
            ASSERT_NEAR(s.magDb[k], 0.0, 1e-9) << delay << " " << k;
    }
}

TEST(Spectrum, TwoTapAverageFollowsTheCosine) {
    Spectrum s;
    ASSERT_EQ(s.Compute({0.5, 0.5}), kSpectrumBins);
    for (int k = 1; k < kSpectrumBins; ++k) {
        const double gain = std::cos(std::numbers::pi * k / kSpectrumPoints);
        ASSERT_NEAR(s.magDb[k], 20.0 * std::log10(gain), 1e-9) << k;
    }
}

TEST(Spectrum, RejectedCountsLeaveTheArrayAsItWas) {
    const std::vector<double> tooMany(kSpectrumPoints + 1, 1.0);
    Spectrum s;
    EXPECT_EQ(s.Compute(tooMany), -1);
    EXPECT_EQ(s.Compute(tooMany, -1), -1);
    EXPECT_EQ(s.magDb, nullptr);
    EXPECT_EQ(s.nBins, 0);

    ASSERT_EQ(s.Compute({0.5, 0.5}), kSpectrumBins);
    const std::vector<double> before(s.magDb.get(), s.magDb.get() + kSpectrumBins);
    const double* array = s.magDb.get();
    EXPECT_EQ(s.Compute(tooMany), -1);
    EXPECT_EQ(s.magDb.get(), array);
    EXPECT_EQ(std::vector<double>(s.magDb.get(), s.magDb.get() + kSpectrumBins), before);
}

TEST(Spectrum, LaterCallsOverwriteTheSameArray) {
    Spectrum s;
    ASSERT_EQ(s.Compute({0.5, 0.5}), kSpectrumBins);
    const double* array = s.magDb.get();
    ASSERT_EQ(s.Compute({1.0}), kSpectrumBins);
    EXPECT_EQ(s.magDb.get(), array);
    EXPECT_NEAR(s.magDb[kSpectrumBins - 1], 0.0, 1e-9);
}

TEST(Spectrum, SilenceAndNaNFlowIntoTheBins) {
    Spectrum silent;
    ASSERT_EQ(ComputeLogMagnitude(nullptr, 0, silent.magDb, silent.nBins), kSpectrumBins);
    Spectrum broken;
    ASSERT_EQ(broken.Compute({0.5, std::numeric_limits<double>::quiet_NaN()}), kSpectrumBins);
    EXPECT_EQ(silent.magDb[0], 0.0);
    EXPECT_EQ(broken.magDb[0], 0.0);
    for (int k = 1; k < kSpectrumBins; ++k) {
        ASSERT_EQ(silent.magDb[k], -std::numeric_limits<double>::infinity()) << k;
        ASSERT_TRUE(std::isnan(broken.magDb[k])) << k;
    }
}

// Outside the plot bin 0 keeps its true level; every other bin is the plot's.
TEST(Spectrum, LevelsKeepTheDcBinThePlotBlanks) {
    const std::vector<double> taps = {0.25, 0.25, 0.125};
    SpectrumLevels levels;
    ASSERT_EQ(ComputeLevelsDb(taps.data(), 3, levels), kSpectrumBins);
    EXPECT_NEAR(levels[0], 20.0 * std::log10(0.625), 1e-12);
    Spectrum plot;
    ASSERT_EQ(plot.Compute(taps), kSpectrumBins);
    EXPECT_EQ(plot.magDb[0], 0.0);
    for (int k = 1; k < kSpectrumBins; ++k)
        ASSERT_EQ(plot.magDb[k], levels[k]) << k;
    EXPECT_EQ(ComputeLevelsDb(taps.data(), kSpectrumPoints + 1, levels), -1);
}
