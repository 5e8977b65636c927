#include "core/analysis/fft.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "core/io/memory.h"

namespace {

// The twiddle table of the last length transformed. The program only ever transforms one
// length, so the trigonometry is done once per process and every later call reuses it.
struct TwiddleCache {
    int exponent = 0;
    int size = 1;
    std::unique_ptr<Complex[]> table; // W[k] = (cos k*theta, -sin k*theta) in slot k - 1
};

TwiddleCache g_cache;
int g_rebuilds = 0;

Complex Add(Complex a, Complex b) {
    return {a.re + b.re, a.im + b.im};
}

Complex Subtract(Complex a, Complex b) {
    return {a.re - b.re, a.im - b.im};
}

// Written out rather than std::complex, whose multiply treats infinities and NaN specially.
Complex Multiply(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// log2 n when n is a power of two, otherwise -1 (which includes every n <= 0).
int ExactLog2(int n) {
    if (n <= 0 || !std::has_single_bit(static_cast<unsigned>(n)))
        return -1;
    return std::countr_zero(static_cast<unsigned>(n));
}

// Fills W[1] ... W[count] from one sine and cosine: each entry is the previous one turned
// by W[1], which keeps the table cheap to build for long transforms.
void FillTwiddles(Complex* table, int count, int size) {
    const double pi = 4.0 * std::atan(1.0);
    const double theta = 2.0 * pi / size;
    table[0] = {std::cos(theta), -std::sin(theta)};
    for (int slot = 1; slot < count; ++slot)
        table[slot] = Multiply(table[slot - 1], table[0]);
}

// Rebuilds the cache for length 2^exponent. On allocation failure the cache goes back to
// its start state, so no later call can mistake a missing table for a built one.
bool RebuildTwiddles(int exponent) {
    ++g_rebuilds;
    g_cache.table.reset();
    g_cache.exponent = exponent;
    g_cache.size = 1 << exponent;
    const int count = g_cache.size / 2 - 1; // a 1- or 2-point transform needs no twiddles
    if (count <= 0)
        return true;
    g_cache.table = mem::AllocateArray<Complex>(count);
    if (!g_cache.table) {
        g_cache = TwiddleCache{};
        return false;
    }
    FillTwiddles(g_cache.table.get(), count, g_cache.size);
    return true;
}

// Decimation in frequency: each pass replaces every pair (x, y) that lies span apart with
// (x + y, (x - y) * w), halving span and doubling the twiddle stride. The output comes out
// in bit-reversed order. twiddles holds W[1] ... W[n/2 - 1] of this length.
void Butterflies(Complex* a, int n, const Complex* twiddles) {
    int stride = 1;
    for (int span = n / 2; span >= 1; span /= 2, stride *= 2) {
        // Every butterfly of a pass is independent, so each group is walked in memory order.
        for (int g = 0; g < n; g += 2 * span) {
            Complex* x = a + g;
            Complex* y = x + span;
            // j = 0 has the twiddle 1: no multiply.
            const Complex difference = Subtract(x[0], y[0]);
            x[0] = Add(x[0], y[0]);
            y[0] = difference;
            for (int j = 1; j < span; ++j) {
                const Complex d = Subtract(x[j], y[j]);
                x[j] = Add(x[j], y[j]);
                y[j] = Multiply(d, twiddles[j * stride - 1]);
            }
        }
    }
}

// Restores natural order. j follows i as its bit reversal: adding one to a reversed number
// clears leading ones from the top bit down, then sets the first zero.
void BitReverse(Complex* a, int n) {
    int j = 0;
    for (int i = 1; i < n - 1; ++i) {
        int k = n / 2;
        while (j >= k) {
            j -= k;
            k /= 2;
        }
        j += k;
        if (i < j)
            std::swap(a[i], a[j]);
    }
}

} // namespace

int FFT(Complex* a, int n) {
    const int exponent = ExactLog2(n);
    if (exponent < 0)
        return -1;
    if (exponent != g_cache.exponent && !RebuildTwiddles(exponent))
        return -1;
    Butterflies(a, g_cache.size, g_cache.table.get());
    BitReverse(a, g_cache.size);
    return 0;
}

int TwiddleRebuildsForTesting() {
    return g_rebuilds;
}

namespace taplore {
namespace {

Complex Conjugate(Complex a) {
    return {a.re, -a.im};
}

// W[1] ... W[n/2 - 1] of a power-of-two length, each from its own sine and cosine.
std::vector<Complex> DirectTwiddles(int n) {
    std::vector<Complex> table(static_cast<std::size_t>(std::max(n / 2 - 1, 0)));
    for (std::size_t k = 1; k <= table.size(); ++k) {
        const double angle = 2.0 * std::numbers::pi * static_cast<double>(k) / n;
        table[k - 1] = {std::cos(angle), -std::sin(angle)};
    }
    return table;
}

// exp(-i pi k^2 / n) for k < n. k^2 is reduced modulo 2n first: the angle then stays below
// 2 pi, where its rounding error stays small.
std::vector<Complex> Chirp(int n) {
    std::vector<Complex> chirp(static_cast<std::size_t>(n));
    const auto period = 2 * static_cast<std::int64_t>(n);
    for (std::int64_t k = 0; k < n; ++k) {
        const double angle = std::numbers::pi * static_cast<double>(k * k % period) / n;
        chirp[static_cast<std::size_t>(k)] = {std::cos(angle), -std::sin(angle)};
    }
    return chirp;
}

} // namespace

FftPlan::FftPlan(int n) : m_size(n), m_radix2Size(n) {
    if (n < 1 || n > kMaxFftLength)
        throw std::invalid_argument("FftPlan: length out of range");
    const bool radix2 = std::has_single_bit(static_cast<unsigned>(n));
    if (!radix2)
        m_radix2Size = static_cast<int>(std::bit_ceil(2 * static_cast<unsigned>(n) - 1));
    // The tables and one transform's work array, checked against the free memory first.
    const std::int64_t tables = radix2 ? n : std::int64_t{n} + 2 * std::int64_t{m_radix2Size};
    if (!mem::Fits(tables, sizeof(Complex)))
        throw std::bad_alloc();
    if (!radix2) {
        // Bluestein: nk = (n^2 + k^2 - (k - n)^2) / 2 turns the transform into a convolution
        // with the conjugate chirp, which radix-2 transforms of at least 2n - 1 points compute.
        m_chirp = Chirp(n);
        m_chirpSpectrum.assign(static_cast<std::size_t>(m_radix2Size), Complex{0.0, 0.0});
        m_chirpSpectrum[0] = Conjugate(m_chirp[0]);
        for (int k = 1; k < n; ++k)
            m_chirpSpectrum[k] = m_chirpSpectrum[m_radix2Size - k] = Conjugate(m_chirp[k]);
    }
    m_twiddles = DirectTwiddles(m_radix2Size);
    if (!m_chirp.empty())
        Radix2(m_chirpSpectrum.data());
}

void FftPlan::Transform(Complex* a) const {
    if (m_chirp.empty())
        Radix2(a);
    else
        Bluestein(a);
}

void FftPlan::Radix2(Complex* a) const {
    Butterflies(a, m_radix2Size, m_twiddles.data());
    BitReverse(a, m_radix2Size);
}

void FftPlan::Bluestein(Complex* a) const {
    std::vector<Complex> work(static_cast<std::size_t>(m_radix2Size), Complex{0.0, 0.0});
    for (int k = 0; k < m_size; ++k)
        work[k] = Multiply(a[k], m_chirp[k]);
    Radix2(work.data());
    // The inverse transform as the conjugate of the forward one of the conjugate.
    for (int k = 0; k < m_radix2Size; ++k)
        work[k] = Conjugate(Multiply(work[k], m_chirpSpectrum[k]));
    Radix2(work.data());
    const double scale = 1.0 / m_radix2Size; // a power of two: exact
    for (int k = 0; k < m_size; ++k) {
        const Complex y = Conjugate(work[k]);
        a[k] = Multiply({y.re * scale, y.im * scale}, m_chirp[k]);
    }
}

} // namespace taplore
