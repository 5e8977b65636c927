#pragma once
// Taps rebuilt from their zeros, independently of how the zeros were found.

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

// The taps of a (z - z_1) ... (z - z_n), a the first tap that is not 0, after count - 1 - n
// leading zero taps (zeros at infinity): evaluated at `count` points of the unit circle, where the
// product stays within range (as sums of logarithms and angles), and read back by an inverse DFT,
// in long double.
inline std::vector<double> TapsFromZeros(const std::vector<std::complex<double>>& zeros,
                                         double leading, std::size_t count) {
    using LongComplex = std::complex<long double>;
    std::vector<LongComplex> turns(count);
    for (std::size_t j = 0; j < count; ++j)
        turns[j] = std::polar(1.0L, 2 * std::numbers::pi_v<long double> * j / count);
    std::vector<LongComplex> values(count);
    for (std::size_t j = 0; j < count; ++j) {
        long double logMagnitude = std::log(std::fabs(static_cast<long double>(leading)));
        long double angle = leading < 0 ? std::numbers::pi_v<long double> : 0.0L;
        for (const std::complex<double> zero : zeros) {
            const LongComplex factor = turns[j] - LongComplex(zero.real(), zero.imag());
            logMagnitude += std::log(std::abs(factor));
            angle += std::arg(factor);
        }
        values[j] = std::polar(std::exp(logMagnitude), angle);
    }
    // p(z) = sum c_k z^k: c_k is tap count-1-k.
    std::vector<double> taps(count);
    for (std::size_t k = 0; k < count; ++k) {
        LongComplex sum = 0;
        for (std::size_t j = 0; j < count; ++j)
            sum += values[j] * std::conj(turns[(j * k) % count]);
        taps[count - 1 - k] = static_cast<double>(sum.real() / static_cast<long double>(count));
    }
    return taps;
}
