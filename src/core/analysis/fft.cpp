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

namespace {

Complex Conjugate(Complex a) {
    return {a.re, -a.im};
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

// Two radix-2 decimation-in-frequency passes at once, on one block of 4q values held as real
// and imaginary parts: the four quarters become what both passes would leave there, in the
// same bit-reversed order, with half the trips through memory. w holds the quarter's three
// twiddle rows, W^j, W^2j and W^3j, each as q real parts then q imaginary parts. The quarters
// are disjoint stretches of plain doubles, and the compiler is told so: it then does several
// j at once.
void Radix4Quarters(double* __restrict r0, double* __restrict r1, double* __restrict r2,
                    double* __restrict r3, double* __restrict i0, double* __restrict i1,
                    double* __restrict i2, double* __restrict i3, const double* w, int q) {
    const double *w1r = w, *w1i = w + q, *w2r = w + 2 * q, *w2i = w + 3 * q;
    const double *w3r = w + 4 * q, *w3i = w + 5 * q;
    for (int j = 0; j < q; ++j) {
        const double sum02r = r0[j] + r2[j], sum02i = i0[j] + i2[j];
        const double dif02r = r0[j] - r2[j], dif02i = i0[j] - i2[j];
        const double sum13r = r1[j] + r3[j], sum13i = i1[j] + i3[j];
        // (x1 - x3) times -i
        const double turnedR = i1[j] - i3[j], turnedI = r3[j] - r1[j];
        r0[j] = sum02r + sum13r;
        i0[j] = sum02i + sum13i;
        const double ar = sum02r - sum13r, ai = sum02i - sum13i;
        r1[j] = ar * w2r[j] - ai * w2i[j];
        i1[j] = ar * w2i[j] + ai * w2r[j];
        const double br = dif02r + turnedR, bi = dif02i + turnedI;
        r2[j] = br * w1r[j] - bi * w1i[j];
        i2[j] = br * w1i[j] + bi * w1r[j];
        const double cr = dif02r - turnedR, ci = dif02i - turnedI;
        r3[j] = cr * w3r[j] - ci * w3i[j];
        i3[j] = cr * w3i[j] + ci * w3r[j];
    }
}

void Radix4Block(double* re, double* im, int q, const double* w) {
    Radix4Quarters(re, re + q, re + 2 * q, re + 3 * q, im, im + q, im + 2 * q, im + 3 * q, w, q);
}

// The last pass of an odd power of two: radix 2 on neighbours, with no twiddles.
void Radix2Pairs(double* re, double* im, int n) {
    for (int g = 0; g < n; g += 2) {
        const double dr = re[g] - re[g + 1], di = im[g] - im[g + 1];
        re[g] += re[g + 1];
        im[g] += im[g + 1];
        re[g + 1] = dr;
        im[g + 1] = di;
    }
}

} // namespace

FftPlan::FftPlan(int n) : m_size(n), m_radix2Size(n) {
    if (n < 1 || n > kMaxFftLength)
        throw std::invalid_argument("FftPlan: length out of range");
    const bool radix2 = std::has_single_bit(static_cast<unsigned>(n));
    if (!radix2)
        m_radix2Size = static_cast<int>(std::bit_ceil(2 * static_cast<unsigned>(n) - 1));
    // The tables (about two complex values a point) and one transform's work arrays, checked
    // against the free memory first.
    const std::int64_t tables = 3 * std::int64_t{m_radix2Size} + (radix2 ? 0 : 2 * std::int64_t{n});
    if (!mem::Fits(tables, sizeof(Complex)))
        throw std::bad_alloc();
    MakeRadix2Tables();
    if (!radix2) {
        // Bluestein: nk = (n^2 + k^2 - (k - n)^2) / 2 turns the transform into a convolution
        // with the conjugate chirp, which radix-2 transforms of at least 2n - 1 points compute.
        m_chirp = Chirp(n);
        m_chirpSpectrum.assign(static_cast<std::size_t>(m_radix2Size), Complex{0.0, 0.0});
        m_chirpSpectrum[0] = Conjugate(m_chirp[0]);
        for (int k = 1; k < n; ++k)
            m_chirpSpectrum[k] = m_chirpSpectrum[m_radix2Size - k] = Conjugate(m_chirp[k]);
        Radix2(m_chirpSpectrum.data());
    }
}

// Each radix-4 pass's three twiddle rows, W^j, W^2j and W^3j for j below its quarter, and the
// bit reversal that puts the bins in order.
void FftPlan::MakeRadix2Tables() {
    const int n = m_radix2Size;
    const std::vector<Complex> roots = UnitRoots(n, 3 * n / 4 + 1);
    for (int span = n; span >= 4; span /= 4) {
        const int quarter = span / 4;
        const int stride = n / span;
        m_stages.push_back({quarter, m_twiddles.size()});
        for (int power = 1; power <= 3; ++power) {
            for (int j = 0; j < quarter; ++j)
                m_twiddles.push_back(roots[power * j * stride].re);
            for (int j = 0; j < quarter; ++j)
                m_twiddles.push_back(roots[power * j * stride].im);
        }
    }
    const int bits = std::countr_zero(static_cast<unsigned>(n));
    m_lastRadix2 = bits % 2 != 0;
    // k's reversal is k/2's shifted down, with k's lowest bit on top.
    m_reversed.assign(n, 0);
    for (int k = 1; k < n; ++k)
        m_reversed[k] = (m_reversed[k / 2] >> 1) | ((k & 1) << (bits - 1));
}

void FftPlan::Transform(Complex* a) const {
    if (m_chirp.empty())
        Radix2(a);
    else
        Bluestein(a);
}

void FftPlan::TransformParts(double* re, double* im) const {
    for (const Stage& stage : m_stages)
        for (int g = 0; g < m_radix2Size; g += 4 * stage.quarter)
            Radix4Block(re + g, im + g, stage.quarter, m_twiddles.data() + stage.twiddles);
    if (m_lastRadix2)
        Radix2Pairs(re, im, m_radix2Size);
}

// Through separate real and imaginary parts, which the passes need, and back in order.
void FftPlan::Radix2(Complex* a) const {
    const int n = m_radix2Size;
    std::vector<double> re(static_cast<std::size_t>(n)), im(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        re[k] = a[k].re;
        im[k] = a[k].im;
    }
    TransformParts(re.data(), im.data());
    for (int k = 0; k < n; ++k)
        a[k] = {re[m_reversed[k]], im[m_reversed[k]]};
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

RealFftPlan::RealFftPlan(int n)
    : m_size(n), m_half(n / 2), m_turns(UnitRoots(n, n / 2 + 1)), m_re(n / 2), m_im(n / 2) {
    if (n < 2 || !std::has_single_bit(static_cast<unsigned>(n)))
        throw std::invalid_argument("RealFftPlan: the length must be a power of two from 2");
}

// The even and odd samples travel as one complex sequence through the half-length transform;
// bin m is then E(m) + W^m O(m), with E and O split out of bins m and n/2 - m.
void RealFftPlan::Forward(const double* x, Complex* bins) {
    const int half = m_half.Size();
    for (int k = 0; k < half; ++k) {
        m_re[k] = x[2 * k];
        m_im[k] = x[2 * k + 1];
    }
    m_half.TransformParts(m_re.data(), m_im.data());
    const auto bin = [this](int k) {
        const int at = m_half.Reversed(k);
        return Complex{m_re[at], m_im[at]};
    };
    for (int m = 0; m <= half; ++m) {
        const Complex z = bin(m == half ? 0 : m);
        const Complex mirror = bin(m == 0 ? 0 : half - m);
        const Complex even = {(z.re + mirror.re) * 0.5, (z.im - mirror.im) * 0.5};
        const Complex odd = {(z.im + mirror.im) * 0.5, (mirror.re - z.re) * 0.5};
        bins[m] = Add(even, Multiply(odd, m_turns[m]));
    }
}

} // namespace taplore
