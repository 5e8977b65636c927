#include "core/analysis/fft.h"

#include <bit>
#include <cmath>
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
// in bit-reversed order.
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

// exp(-2 pi i k / n) for k = 0 ... count-1 (count up to n): sines and cosines of the first
// octant only, the others by symmetry, which is exact.
std::vector<Complex> UnitRoots(int n, int count) {
    std::vector<Complex> roots(count);
    const auto angle = [n](int k) { return 2.0 * std::numbers::pi * k / n; };
    for (int k = 0; k < count; ++k) {
        if (8 * k <= n) {
            roots[k] = {std::cos(angle(k)), -std::sin(angle(k))};
        } else if (4 * k <= n) { // pi/2 - angle(n/4 - k)
            const Complex mirror = roots[n / 4 - k];
            roots[k] = {-mirror.im, -mirror.re};
        } else if (2 * k <= n) { // pi - angle(n/2 - k)
            const Complex mirror = roots[n / 2 - k];
            roots[k] = {-mirror.re, mirror.im};
        } else { // pi + angle(k - n/2)
            const Complex half = roots[k - n / 2];
            roots[k] = {-half.re, -half.im};
        }
    }
    return roots;
}

// Two radix-2 decimation-in-frequency passes at once: the four quarters of each block become
// what both passes would leave there, in the same bit-reversed order, with half the trips
// through memory. roots[k] = exp(-2 pi i k / n) for k < 3n/4.
void Radix4Butterflies(Complex* a, int n, const Complex* roots) {
    int span = n;
    for (; span >= 4; span /= 4) {
        const int quarter = span / 4;
        const int stride = n / span;
        for (int g = 0; g < n; g += span) {
            Complex* x = a + g;
            for (int j = 0; j < quarter; ++j) {
                const Complex x0 = x[j], x1 = x[j + quarter];
                const Complex x2 = x[j + 2 * quarter], x3 = x[j + 3 * quarter];
                const Complex sum02 = Add(x0, x2), difference02 = Subtract(x0, x2);
                const Complex sum13 = Add(x1, x3), difference13 = Subtract(x1, x3);
                const Complex turned = {difference13.im, -difference13.re}; // times -i
                x[j] = Add(sum02, sum13);
                x[j + quarter] = Multiply(Subtract(sum02, sum13), roots[2 * j * stride]);
                x[j + 2 * quarter] = Multiply(Add(difference02, turned), roots[j * stride]);
                x[j + 3 * quarter] =
                    Multiply(Subtract(difference02, turned), roots[3 * j * stride]);
            }
        }
    }
    if (span == 2) // an odd power of two: one radix-2 pass is left, with no twiddles
        for (int g = 0; g < n; g += 2) {
            const Complex difference = Subtract(a[g], a[g + 1]);
            a[g] = Add(a[g], a[g + 1]);
            a[g + 1] = difference;
        }
}

} // namespace

FftPlan::FftPlan(int n) : m_size(n) {
    if (ExactLog2(n) < 0)
        throw std::invalid_argument("FftPlan: the length must be a power of two");
    m_roots = UnitRoots(n, 3 * n / 4 + 1);
}

void FftPlan::Forward(Complex* a) const {
    Radix4Butterflies(a, m_size, m_roots.data());
    BitReverse(a, m_size);
}

RealFftPlan::RealFftPlan(int n)
    : m_size(n), m_half(n / 2), m_turns(UnitRoots(n, n / 2 + 1)), m_work(n / 2) {
    if (n < 2)
        throw std::invalid_argument("RealFftPlan: the length must be at least 2");
}

// The even and odd samples travel as one complex sequence through the half-length transform;
// bin m is then E(m) + W^m O(m), with E and O split out of bins m and n/2 - m.
void RealFftPlan::Forward(const double* x, Complex* bins) {
    const int half = m_half.Size();
    for (int k = 0; k < half; ++k)
        m_work[k] = {x[2 * k], x[2 * k + 1]};
    m_half.Forward(m_work.data());
    for (int m = 0; m <= half; ++m) {
        const Complex z = m_work[m == half ? 0 : m];
        const Complex mirror = m_work[m == 0 ? 0 : half - m];
        const Complex even = {(z.re + mirror.re) * 0.5, (z.im - mirror.im) * 0.5};
        const Complex odd = {(z.im + mirror.im) * 0.5, (mirror.re - z.re) * 0.5};
        bins[m] = Add(even, Multiply(odd, m_turns[m]));
    }
}

} // namespace taplore
