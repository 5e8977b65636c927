#pragma once
// What a bit-true simulation feeds the filter: generated signals at the input's full scale, or
// the integers of a text file, and how close the output comes to the double filter's.

#include "core/fixed/bit_true.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

enum class SignalKind { impulse, step, chirp, noise };

struct Signal {
    SignalKind kind = SignalKind::impulse;
    std::uint64_t seed = kDefaultNoiseSeed;
    static constexpr std::uint64_t kDefaultNoiseSeed = 1;
};

// The most samples a simulation takes in the free memory: each needs its input, the input's
// padded copy, the output and the output's line of text.
constexpr std::uint64_t kBytesPerSimulatedSample = 64;
std::int64_t MostSimulatedSamples();

// "impulse", "step", "chirp", "noise" or "noise:SEED" (SEED a whole number below 2^64);
// nullopt for any other text, which names a file.
std::optional<Signal> ParseSignal(std::string_view text);

// count samples of format: impulse, the largest value then zeros; step, the largest value
// throughout; chirp, the largest value times sin(pi f t^2 / count), a sweep from 0 to half
// the rate, rounded to nearest; noise, the top B bits of std::mt19937_64 seeded with seed,
// uniform over the whole range.
std::vector<std::int64_t> Generate(const Signal& signal, std::int64_t count, SampleFormat format);

// The integers of a text or CSV file, one a line (the first field of each; blank lines and
// lines starting with '#' are passed over), each within format's range. error is empty when
// read, else "line N: ..." saying what is wrong.
std::vector<std::int64_t> ReadSampleText(std::string_view text, SampleFormat format,
                                         std::string& error);

// 10 log10 of sum r^2 / sum (y - r)^2 in dB: y the output's values (integers / 2^F_out), r
// the double filter taps applied to the input's values (integers / 2^F_in). +inf when they
// agree exactly.
double OutputSnrDb(const std::vector<double>& taps, const std::vector<std::int64_t>& input,
                   SampleFormat inputFormat, const std::vector<std::int64_t>& output,
                   SampleFormat outputFormat);

} // namespace taplore
