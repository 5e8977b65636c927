#pragma once
// In-place radix-2 decimation-in-frequency FFT: FFT() with the dialog's process-wide twiddle
// table, and taplore::FftPlan, made once by its caller for one length of any size.

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

// A forward transform of one length n >= 1, made once and used for any number of transforms,
// from any number of threads. Powers of two run the radix-2 butterflies directly; other lengths
// go through Bluestein's chirp, a convolution of twice the length done with radix-2 transforms.
// The twiddles are computed one by one with sine and cosine, not by FFT()'s recurrence, so that
// long transforms keep the accuracy of their short ones. Throws std::bad_alloc when the tables
// do not fit in memory and std::invalid_argument for n < 1 or n > kMaxFftLength.
class FftPlan {
public:
    static constexpr int kMaxFftLength = 1 << 26;

    explicit FftPlan(int n);

    int Size() const { return m_size; }

    // A[k] = sum over m of a[m] * exp(-2 pi i k m / n), in place, natural order, unscaled.
    void Transform(Complex* a) const;

private:
    void Radix2(Complex* a) const;
    void Bluestein(Complex* a) const;

    int m_size;
    int m_radix2Size;                     // m_size, or the chirp convolution's length
    std::vector<Complex> m_twiddles;      // for m_radix2Size, as FFT()'s table
    std::vector<Complex> m_chirp;         // exp(-i pi k^2 / n), k < n; empty for powers of two
    std::vector<Complex> m_chirpSpectrum; // transform of the conjugate chirp, wrapped around
};

} // namespace taplore
