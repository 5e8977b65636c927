#pragma once
// What a filter's fixed-point arithmetic does to it, as the requirements window shows it: the
// widths as typed, read once; the magnitude of the taps rounded to their width; and the
// overflows of a full-scale chirp through the bit-true model.

#include "core/analysis/views.h"
#include "core/fixed/bit_true.h"
#include "core/fixed/fewest_bits.h"
#include "core/formats/fixed_point.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace taplore {

// The widths as typed, without the white space around them. An empty accumulator is the one that
// never overflows; an empty output takes the input's format.
struct FixedPointInputs {
    std::string tapBits = "16";
    std::string inputBits = "16";
    std::string outputBits;
    std::string accumulatorBits;
    Overflow overflow = Overflow::wrap;
    Rounding rounding = Rounding::nearest;
    bool searchRoundings = false; // the taps' integers by the fewest-bits search, not rounded

    bool operator==(const FixedPointInputs&) const = default;
};

// The arithmetic read: the taps' format, and the model's with accumulator bits 0 for the one
// that never overflows.
struct FixedPointArithmetic {
    QFormat taps;
    BitTrueFormats formats;
    bool searchRoundings = false;
};

// The arithmetic, or nothing after problem says which field is wrong and why
// ("Input bits: must be B or B.F, B from 2 to 64 and F from 0 to B.").
std::optional<FixedPointArithmetic> ReadArithmetic(const FixedPointInputs& inputs,
                                                   std::string& problem);

// The full-scale chirp's length: as long as the command line's stimuli unless asked otherwise.
constexpr std::int64_t kChirpSamples = 4096;

struct FixedPointEffect {
    std::vector<double> magnitudeDb; // of the rounded taps, on the grid asked
    int accumulatorBits = 0;         // as run: the one that never overflows where none is given
    bool automaticAccumulator = false;
    std::int64_t accumulatorOverflows = 0;
    std::int64_t outputOverflows = 0;
};

// The taps rounded to arithmetic.taps as --format q rounds them, or with searchRoundings by the
// search that keeps requirements, their magnitude on grid, and a full-scale chirp of
// kChirpSamples through the bit-true model. Throws NoFixedPointForm for taps that are not
// finite.
FixedPointEffect EffectOf(std::span<const double> taps, const FixedPointArithmetic& arithmetic,
                          const FrequencyGrid& grid, const Requirements& requirements);

// "Full-scale chirp of 4096 samples: 3 overflows at the accumulator (20 bits), none at the
// output."
std::string EffectText(const FixedPointEffect& effect);

// "Fewest bits: 14.14 (Q14 in 14 bits), by a search over the roundings; plain rounding, as
// the exports round, needs 15 bits."
std::string FewestBitsText(const FewestBits& found);

// "B.F" as the Bits field takes it.
std::string WidthText(QFormat format);

} // namespace taplore
