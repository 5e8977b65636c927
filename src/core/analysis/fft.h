#pragma once
// In-place radix-2 decimation-in-frequency FFT: FFT with the dialog's process-wide twiddle
// table, and plans that a caller owns for its own lengths.

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

// The twiddle factors of one transform length, made once by the caller and reused for every
// transform of that length. Radix 4 on separate real and imaginary parts, with accurate
// twiddles: not the dialog's bits, which FFT keeps. Holds its own work arrays, so each thread
// needs its own plan.
class FftPlan {
public:
    // n: a power of two from 1 to 2^30 (std::invalid_argument otherwise).
    explicit FftPlan(int n);
    int Size() const { return m_size; }
    // n complex values in place, result in natural order, unscaled.
    void Forward(Complex* a);

private:
    friend class RealFftPlan; // fills the parts and reads the bins without copies between

    // The transform of the parts in place, in bit-reversed order.
    void Transform();
    Complex Bin(int k) const { return {m_re[m_reversed[k]], m_im[m_reversed[k]]}; }

    struct Stage {
        int quarter;          // a quarter of the block each butterfly spans
        std::size_t twiddles; // where its three twiddle rows start
    };
    int m_size;
    std::vector<Stage> m_stages;
    std::vector<double> m_twiddles;
    bool m_lastRadix2 = false;
    std::vector<int> m_reversed; // the bit reversal of each index
    std::vector<double> m_re, m_im;
};

// The transform of n real values through a complex one of n/2: half the work. Each thread
// needs its own plan.
class RealFftPlan {
public:
    // n: a power of two from 2 to 2^30 (std::invalid_argument otherwise).
    explicit RealFftPlan(int n);
    int Size() const { return m_size; }
    // Bins 0 ... n/2 of the unscaled transform of x[0 ... n-1] (the rest mirror them).
    void Forward(const double* x, Complex* bins);

private:
    int m_size;
    FftPlan m_half;
    std::vector<Complex> m_turns; // exp(-2 pi i m / n), m = 0 ... n/2
};

} // namespace taplore
