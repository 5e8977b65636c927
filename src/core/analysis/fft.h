#pragma once
// In-place radix-2 decimation-in-frequency FFT with a process-wide twiddle table.

struct Complex {
    double re;
    double im;
};

// Forward transform of n samples, result in natural order, unscaled.
// Returns 0, or -1 when n is not a power of two or the twiddle table cannot be allocated.
int FFT(Complex* a, int n);

// For tests: how many times the twiddle cache has been rebuilt for a new length.
int TwiddleRebuildsForTesting();
