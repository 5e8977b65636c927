#pragma once
// The zeros of a filter's transfer function H(z) = sum h[n] z^-n: the roots of the polynomial
// h[0] z^(N-1) + h[1] z^(N-2) + ... + h[N-1], found together by the Aberth-Ehrlich iteration.

#include <complex>
#include <span>
#include <string>
#include <vector>

namespace taplore {

// The most taps whose zeros are found: the work grows with the square of the count, about 0.1 s
// at 1,024 taps and 2 s at 4,096.
constexpr int kMaxZerosTaps = 4'096;

struct TapZeros {
    std::string problem; // why the taps have no zeros to find; empty when found
    // The finite zeros, sorted by angle (-pi, pi], then by radius: one at 0 for each trailing
    // zero tap, then the polynomial's roots. Real zeros have an imaginary part of +0.
    std::vector<std::complex<double>> zeros;
    int atInfinity = 0; // one for each leading zero tap: a delay, not in `zeros`
    // The largest Residual of the zeros: how far from an exact zero of H each is.
    double largestResidual = 0.0;
    int sweeps = 0; // the iteration's passes over the zeros
};

// The zeros of taps, all finite, not all 0 and at most kMaxZerosTaps of them (otherwise
// `problem` says so). Each zero's
// Residual is at the level of the rounding in evaluating H there. O(N^2) time per pass and
// about ten passes for a filter's zeros; O(N) memory. Throws std::bad_alloc.
TapZeros FindZeros(std::span<const double> taps);

// |H(z)| relative to the most its terms could add up to, sum |h[n]| |z|^-n: on the unit
// circle, |H(z)| over the taps' 1-norm. 0 at z = 0 where the taps end in a zero tap, and
// computed without overflow for any z.
double Residual(std::span<const double> taps, std::complex<double> z);

} // namespace taplore
