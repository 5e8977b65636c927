#include "core/analysis/fft.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "core/io/memory.h"

namespace {

// The definition summed directly in long double: independent of any butterfly ordering.
// exp(-2*pi*i*k*m/n) only depends on k*m mod n, so one table of n roots serves every sum.
std::vector<Complex> DirectDft(const std::vector<Complex>& x) {
    const std::size_t n = x.size();
    const long double pi = std::acos(-1.0L);
    std::vector<long double> cosine(n), sine(n);
    for (std::size_t r = 0; r < n; ++r) {
        cosine[r] = std::cos(2 * pi * static_cast<long double>(r) / n);
        sine[r] = std::sin(2 * pi * static_cast<long double>(r) / n);
    }
    std::vector<Complex> result(n);
    for (std::size_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        for (std::size_t m = 0; m < n; ++m) {
            const std::size_t r = k * m % n;
            re += x[m].re * cosine[r] + x[m].im * sine[r];
            im += x[m].im * cosine[r] - x[m].re * sine[r];
        }
        result[k] = {static_cast<double>(re), static_cast<double>(im)};
    }
    return result;
}

double RelativeError(const std::vector<Complex>& got, const std::vector<Complex>& want) {
    double diff = 0, norm = 0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        diff += std::pow(got[k].re - want[k].re, 2) + std::pow(got[k].im - want[k].im, 2);
        norm += want[k].re * want[k].re + want[k].im * want[k].im;
    }
    return std::sqrt(diff / norm);
}

} // namespace

TEST(Fft, MatchesDirectDftForEveryPowerOfTwo) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int n = 2; n <= 4096; n *= 2) {
        std::vector<Complex> data(n);
        for (Complex& c : data)
            c = {uniform(rng), uniform(rng)};
        const std::vector<Complex> want = DirectDft(data);
        ASSERT_EQ(FFT(data.data(), n), 0) << n;
        EXPECT_LT(RelativeError(data, want), 1e-11) << n;
    }
}

TEST(Fft, RejectsLengthsThatAreNotPowersOfTwoWithoutTouchingData) {
    std::vector<Complex> data(1000, Complex{1.5, -2.5});
    for (int n : {0, -4, 1000, 1023})
        EXPECT_EQ(FFT(data.data(), n), -1) << n;
    for (const Complex& c : data)
        ASSERT_TRUE(c.re == 1.5 && c.im == -2.5);
}

TEST(Fft, OneAndTwoPointTransforms) {
    Complex one[] = {{3.25, -7.5}};
    EXPECT_EQ(FFT(one, 1), 0);
    EXPECT_EQ(one[0].re, 3.25);
    EXPECT_EQ(one[0].im, -7.5);

    Complex two[] = {{1.0, 2.0}, {0.25, -4.0}};
    EXPECT_EQ(FFT(two, 2), 0);
    EXPECT_EQ(two[0].re, 1.25);
    EXPECT_EQ(two[0].im, -2.0);
    EXPECT_EQ(two[1].re, 0.75);
    EXPECT_EQ(two[1].im, 6.0);
}

TEST(Fft, TableIsReusedForTheSameLengthAndRebuiltForAnother) {
    std::vector<Complex> data(128);
    ASSERT_EQ(FFT(data.data(), 64), 0);
    const int rebuilds = TwiddleRebuildsForTesting();
    ASSERT_EQ(FFT(data.data(), 64), 0);
    EXPECT_EQ(TwiddleRebuildsForTesting(), rebuilds);
    ASSERT_EQ(FFT(data.data(), 128), 0);
    EXPECT_EQ(TwiddleRebuildsForTesting(), rebuilds + 1);
}

// 2^20 points need a table of 8 MiB, which the pretended free memory cannot hold.
TEST(Fft, FailedTableAllocationLeavesDataAloneAndALaterCallWorks) {
    constexpr int n = 1 << 20;
    std::vector<Complex> data(n);
    data[1] = {1.0, 0.0};
    mem::SetFreeBytesForTesting(mem::kCheckedBytes);
    const int failed = FFT(data.data(), n);
    mem::SetFreeBytesForTesting(std::nullopt);
    ASSERT_EQ(failed, -1);
    for (int i = 0; i < n; ++i)
        ASSERT_TRUE(data[i].re == (i == 1) && data[i].im == 0.0) << i;

    // A delayed impulse transforms to the unit circle: A[k] = exp(-2*pi*i*k/n).
    ASSERT_EQ(FFT(data.data(), n), 0);
    const double pi = std::acos(-1.0);
    for (int k : {0, 1, n / 8, n / 4 + 3, n / 2, n - 1}) {
        EXPECT_NEAR(data[k].re, std::cos(2 * pi * k / n), 1e-9) << k;
        EXPECT_NEAR(data[k].im, -std::sin(2 * pi * k / n), 1e-9) << k;
    }
}

// The plan for any length, radix-4 and radix-2 passes or through the chirp, against the
// definition: odd powers of two included, where the radix-4 passes end on radix 2.
TEST(FftPlan, MatchesDirectDftForPowersOfTwoAndOtherLengths) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int n : {1, 2, 3, 5, 8, 12, 64, 100, 512, 1000, 1024, 2048, 4095}) {
        std::vector<Complex> data(n);
        for (Complex& c : data)
            c = {uniform(rng), uniform(rng)};
        const std::vector<Complex> want = DirectDft(data);
        const taplore::FftPlan plan(n);
        ASSERT_EQ(plan.Size(), n);
        plan.Transform(data.data());
        EXPECT_LT(RelativeError(data, want), 1e-13) << n;
    }
}

// The real plan's half-length transform, against the definition's bins 0 ... n/2.
TEST(FftPlan, RealTransformsMatchDirectDft) {
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    for (int n = 2; n <= 4096; n *= 2) {
        std::vector<Complex> real(n);
        std::vector<double> samples(n);
        for (int k = 0; k < n; ++k)
            real[k] = {samples[k] = uniform(rng), 0.0};
        std::vector<Complex> bins(n / 2 + 1);
        taplore::RealFftPlan(n).Forward(samples.data(), bins.data());
        std::vector<Complex> full = DirectDft(real);
        full.resize(n / 2 + 1);
        EXPECT_LT(RelativeError(bins, full), 1e-13) << n;
    }
}

TEST(FftPlan, RefusesLengthsOutOfRange) {
    for (int n : {0, -1, taplore::FftPlan::kMaxFftLength + 1})
        EXPECT_THROW(taplore::FftPlan{n}, std::invalid_argument) << n;
    for (int n : {1, 6})
        EXPECT_THROW(taplore::RealFftPlan{n}, std::invalid_argument) << n;
}
