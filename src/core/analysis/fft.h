#pragma once
// In-place radix-2 decimation-in-frequency FFT: FFT() with the dialog's process-wide twiddle
// table, and taplore::FftPlan, made once by its caller for one length of any size.

#include <cstddef>
#include <vector>

struct Complex {
    double re;
    double im;
};

// Forward transform of n samples, result in natural order, unscaled.
// Returns 0, or -1 when n is not a power of two or the twiddle table cannot be allocated.
int FFT(Complex* a, int n);

// For tests: how many times the twiddle cache has been rebuilt for a new length.
int TwiddleRebuildsForTesting();

namespace taplore {

// exp(-2 pi i k / n) for k = 0 ... count-1, count up to n: the sines and cosines of the first
// octant only, the others by symmetry, which is exact. n: a multiple of 8, or below 8.
std::vector<Complex> UnitRoots(int n, int count);

// A forward transform of one length n >= 1, made once and used for any number of transforms,
// from any number of threads. Powers of two run radix-4 passes (and one radix-2 pass for odd
// powers) on separate real and imaginary parts; other lengths go through Bluestein's chirp, a
// convolution of twice the length done with such transforms. The twiddles are computed with
// sine and cosine, not by FFT()'s recurrence, so that long transforms keep the accuracy of
// their short ones. Throws std::bad_alloc when the tables do not fit in memory and
// std::invalid_argument for n < 1 or n > kMaxFftLength.
class FftPlan {
public:
    static constexpr int kMaxFftLength = 1 << 26;

    explicit FftPlan(int n);

    int Size() const { return m_size; }

    // A[k] = sum over m of a[m] * exp(-2 pi i k m / n), in place, natural order, unscaled.
    void Transform(Complex* a) const;

private:
    friend class RealFftPlan; // transforms its own parts, without copies between

    void MakeRadix2Tables();
    // The power-of-two transform of separate parts in place; bin k lands at Reversed(k).
    void TransformParts(double* re, double* im) const;
    int Reversed(int k) const { return m_reversed[k]; }
    void Radix2(Complex* a) const;
    void Bluestein(Complex* a) const;

    struct Stage {
        int quarter;          // a quarter of the block each butterfly spans
        std::size_t twiddles; // where its three twiddle rows start
    };
    int m_size;
    int m_radix2Size; // m_size, or the chirp convolution's length
    std::vector<Stage> m_stages;
    std::vector<double> m_twiddles;
    bool m_lastRadix2 = false;
    std::vector<int> m_reversed;          // the bit reversal of each index
    std::vector<Complex> m_chirp;         // exp(-i pi k^2 / n), k < n; empty for powers of two
    std::vector<Complex> m_chirpSpectrum; // transform of the conjugate chirp, wrapped around
};

// The transform of n real values through a complex one of n/2: half the work. Holds its work
// arrays, so each thread needs its own plan.
class RealFftPlan {
public:
    // n: a power of two from 2 to 2^27 (std::invalid_argument otherwise).
    explicit RealFftPlan(int n);
    int Size() const { return m_size; }
    // Bins 0 ... n/2 of the unscaled transform of x[0 ... n-1] (the rest mirror them).
    void Forward(const double* x, Complex* bins);

private:
    int m_size;
    FftPlan m_half;
    std::vector<Complex> m_turns; // exp(-2 pi i m / n), m = 0 ... n/2
    std::vector<double> m_re, m_im;
};

} // namespace taplore
