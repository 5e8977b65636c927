#pragma once
// A bit-true model of a direct-form FIR filter as a target computes it: integer samples and
// taps, full-precision products, an accumulator and an output of widths of their own, each
// wrapping or saturating, and the output rounded. Every step is exact integer arithmetic.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace taplore {

// 128-bit integers: wide enough for any product and any sum the model forms.
__extension__ typedef __int128 Wide;

// B bits of two's complement, sign included, of which F are fraction bits: q stands for
// q / 2^F. Samples are up to 64 bits wide.
struct SampleFormat {
    static constexpr int kMinBits = 2;
    static constexpr int kMaxBits = 64;

    int bits = 16;
    int fraction = 15;

    friend bool operator==(const SampleFormat&, const SampleFormat&) = default;

    std::int64_t Largest() const;  // 2^(B-1) - 1
    std::int64_t Smallest() const; // -2^(B-1)
};

// "B" or "B.F", B from 2 to 64 and F from 0 to B (B - 1 when left out); nullopt otherwise.
std::optional<SampleFormat> ParseSampleFormat(std::string_view text);

enum class Overflow { wrap, saturate };
// nearest: ties away from zero; floor: towards minus infinity; zero: towards zero;
// convergent: ties to the even neighbour.
enum class Rounding { nearest, floor, zero, convergent };

std::optional<Overflow> OverflowNamed(std::string_view name);
std::optional<Rounding> RoundingNamed(std::string_view name);
std::string_view OverflowName(Overflow overflow);
std::string_view RoundingName(Rounding rounding);

// The arithmetic of the filter. The accumulator's fraction is the input's plus the taps'.
struct BitTrueFormats {
    SampleFormat input;
    int tapFraction = 15;
    int accumulatorBits = 0; // 0 ... kMaxAccumulatorBits; 0 is never used by the filter
    SampleFormat output;
    Overflow overflow = Overflow::wrap;
    Rounding rounding = Rounding::nearest;
};

// The widest accumulator the model holds: any sum of products of 64-bit samples and 32-bit
// taps, up to 2^31 of them, stays below 2^126.
constexpr int kMaxAccumulatorBits = 127;

// The accumulator that never overflows: the input's bits plus ceil(log2 sum |q|) plus one,
// with q the integer taps; the sum's bound 2^(B-1) * sum |q| then fits. At least 2 bits.
int NeverOverflowingBits(int inputBits, const std::vector<std::int32_t>& taps);

// value brought into bits of two's complement by overflow; overflowed tells whether it had to.
Wide Fit(Wide value, int bits, Overflow overflow, bool& overflowed);

// value / 2^shift rounded as rounding says (shift >= 0).
Wide RoundShift(Wide value, int shift, Rounding rounding);

// The accumulator's value (fraction fromFraction) brought to the output's format: rounded when
// the output keeps fewer fraction bits, shifted up when more, then fitted to its bits.
Wide ToOutput(Wide accumulator, int fromFraction, const BitTrueFormats& formats, bool& overflowed);

// Symmetric taps (h[k] = h[N-1-k]) and antisymmetric ones (h[k] = -h[N-1-k]) pair up their
// inputs before one multiplier.
enum class Symmetry { none, even, odd };
Symmetry SymmetryOf(const std::vector<std::int32_t>& taps);

struct BitTrueRun {
    std::vector<std::int64_t> output;
    std::int64_t accumulatorOverflows = 0;
    std::int64_t outputOverflows = 0;
};

// Filters input (integers of formats.input) with the integer taps: y[n] = sum h[k] x[n-k],
// the samples before the first taken as 0. The exact sum is fitted to the accumulator (wrap
// gives what wrapping at each addition gives, in any order; saturate clips the total), then
// rounded and fitted to the output. Symmetric and antisymmetric taps share their products.
BitTrueRun RunBitTrue(const BitTrueFormats& formats, const std::vector<std::int32_t>& taps,
                      const std::vector<std::int64_t>& input);

} // namespace taplore
