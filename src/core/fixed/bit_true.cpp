#include "core/fixed/bit_true.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace taplore {

namespace {

__extension__ typedef unsigned __int128 UWide;

Wide LargestOf(int bits) {
    return (Wide{1} << (bits - 1)) - 1;
}

// Brings value into bits by keeping its low bits, as two's complement hardware does.
Wide Wrap(Wide value, int bits) {
    const UWide mask = (UWide{1} << bits) - 1;
    const UWide low = static_cast<UWide>(value) & mask;
    const bool negative = (low >> (bits - 1)) != 0;
    return static_cast<Wide>(negative ? low | ~mask : low);
}

Wide Magnitude(Wide value) {
    return value < 0 ? -value : value;
}

template <typename Name> struct Named {
    std::string_view name;
    Name value;
};

template <typename Name, std::size_t N>
std::optional<Name> FindNamed(const std::array<Named<Name>, N>& table, std::string_view name) {
    for (const auto& entry : table)
        if (entry.name == name)
            return entry.value;
    return std::nullopt;
}

template <typename Name, std::size_t N>
std::string_view NameOf(const std::array<Named<Name>, N>& table, Name value) {
    for (const auto& entry : table)
        if (entry.value == value)
            return entry.name;
    return {};
}

constexpr std::array<Named<Overflow>, 2> kOverflowNames{
    {{"wrap", Overflow::wrap}, {"saturate", Overflow::saturate}}};
constexpr std::array<Named<Rounding>, 4> kRoundingNames{{{"nearest", Rounding::nearest},
                                                         {"floor", Rounding::floor},
                                                         {"zero", Rounding::zero},
                                                         {"convergent", Rounding::convergent}}};

// The exact sum of products ending at padded[last]: padded holds count - 1 zeros before the
// input. Product is the type the pre-added pair times a tap fits in.
template <typename Product>
Wide SumOfProducts(const std::vector<std::int32_t>& taps, Symmetry symmetry,
                   const std::int64_t* newest) {
    const std::size_t n = taps.size();
    Wide sum = 0;
    if (symmetry == Symmetry::none) {
        for (std::size_t k = 0; k < n; ++k)
            sum += static_cast<Product>(taps[k]) * newest[-static_cast<std::ptrdiff_t>(k)];
        return sum;
    }
    // A symmetric pair shares one multiplier: h[k] (x[n-k] +- x[n-(N-1-k)]).
    const std::int64_t* oldest = newest - static_cast<std::ptrdiff_t>(n - 1);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const Product near = newest[-static_cast<std::ptrdiff_t>(k)];
        const Product far = oldest[k];
        sum +=
            static_cast<Product>(taps[k]) * (symmetry == Symmetry::even ? near + far : near - far);
    }
    if (n % 2 == 1)
        sum += static_cast<Product>(taps[n / 2]) * newest[-static_cast<std::ptrdiff_t>(n / 2)];
    return sum;
}

} // namespace

Symmetry SymmetryOf(const std::vector<std::int32_t>& taps) {
    const std::size_t n = taps.size();
    bool even = true, odd = true;
    for (std::size_t k = 0; k < n; ++k) {
        even = even && taps[k] == taps[n - 1 - k];
        odd = odd && std::int64_t{taps[k]} == -std::int64_t{taps[n - 1 - k]};
    }
    return even ? Symmetry::even : odd ? Symmetry::odd : Symmetry::none;
}

std::int64_t SampleFormat::Largest() const {
    return static_cast<std::int64_t>(LargestOf(bits));
}

std::int64_t SampleFormat::Smallest() const {
    return -Largest() - 1;
}

std::optional<SampleFormat> ParseSampleFormat(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    const std::size_t point = text.find('.');
    const auto bits = crt::StrictAtoi(text.substr(0, point));
    if (!bits || *bits < SampleFormat::kMinBits || *bits > SampleFormat::kMaxBits)
        return std::nullopt;
    const auto fraction =
        point == std::string_view::npos ? *bits - 1 : crt::StrictAtoi(text.substr(point + 1));
    if (!fraction || *fraction < 0 || *fraction > *bits)
        return std::nullopt;
    return SampleFormat{*bits, *fraction};
}

std::optional<Overflow> OverflowNamed(std::string_view name) {
    return FindNamed(kOverflowNames, name);
}

std::optional<Rounding> RoundingNamed(std::string_view name) {
    return FindNamed(kRoundingNames, name);
}

std::string_view OverflowName(Overflow overflow) {
    return NameOf(kOverflowNames, overflow);
}

std::string_view RoundingName(Rounding rounding) {
    return NameOf(kRoundingNames, rounding);
}

int NeverOverflowingBits(int inputBits, const std::vector<std::int32_t>& taps) {
    std::uint64_t sum = 0; // at most 2^31 taps of at most 2^31 each
    for (std::int32_t q : taps)
        sum += static_cast<std::uint64_t>(std::llabs(q));
    const int log2Sum = sum == 0 ? 0 : static_cast<int>(std::bit_width(sum - 1));
    return std::max(2, inputBits + log2Sum + 1);
}

Wide Fit(Wide value, int bits, Overflow overflow, bool& overflowed) {
    const Wide largest = LargestOf(bits), smallest = -largest - 1;
    overflowed = value > largest || value < smallest;
    if (!overflowed)
        return value;
    if (overflow == Overflow::saturate)
        return value > largest ? largest : smallest;
    return Wrap(value, bits);
}

Wide RoundShift(Wide value, int shift, Rounding rounding) {
    if (shift == 0)
        return value;
    const Wide half = Wide{1} << (shift - 1);
    const Wide down = value >> shift; // C++20: an arithmetic shift, towards minus infinity
    const Wide rest = value - (down << shift);
    switch (rounding) {
    case Rounding::floor:
        return down;
    case Rounding::zero:
        return down + (value < 0 && rest != 0);
    case Rounding::nearest: {
        const Wide magnitude = (Magnitude(value) + half) >> shift;
        return value < 0 ? -magnitude : magnitude;
    }
    case Rounding::convergent:
        return down + (rest > half || (rest == half && (down & 1) != 0));
    }
    return down;
}

Wide ToOutput(Wide accumulator, int fromFraction, const BitTrueFormats& formats, bool& overflowed) {
    const SampleFormat& out = formats.output;
    const int shift = fromFraction - out.fraction;
    if (shift >= 0)
        return Fit(RoundShift(accumulator, shift, formats.rounding), out.bits, formats.overflow,
                   overflowed);
    // More fraction bits than the accumulator: exact, unless the shift leaves the range.
    const int up = -shift;
    const Wide largest = LargestOf(out.bits);
    overflowed = accumulator > (largest >> up) || accumulator < -((largest + 1) >> up);
    if (!overflowed)
        return accumulator * (Wide{1} << up);
    if (formats.overflow == Overflow::saturate)
        return accumulator > 0 ? largest : -largest - 1;
    return Wrap(static_cast<Wide>(static_cast<UWide>(accumulator) << up), out.bits);
}

BitTrueRun RunBitTrue(const BitTrueFormats& formats, const std::vector<std::int32_t>& taps,
                      const std::vector<std::int64_t>& input) {
    BitTrueRun run;
    if (taps.empty()) {
        run.output.assign(input.size(), 0);
        return run;
    }
    std::vector<std::int64_t> padded(taps.size() - 1, 0);
    padded.insert(padded.end(), input.begin(), input.end());
    const Symmetry symmetry = SymmetryOf(taps);
    // A pre-added pair of inputs up to 30 bits wide times a 32-bit tap stays within 64 bits.
    const bool narrow = formats.input.bits <= 30;
    const int fraction = formats.input.fraction + formats.tapFraction;
    run.output.reserve(input.size());
    for (std::size_t n = 0; n < input.size(); ++n) {
        const std::int64_t* newest = padded.data() + n + taps.size() - 1;
        const Wide sum = narrow ? SumOfProducts<std::int64_t>(taps, symmetry, newest)
                                : SumOfProducts<Wide>(taps, symmetry, newest);
        bool overflowed = false;
        const Wide accumulator = Fit(sum, formats.accumulatorBits, formats.overflow, overflowed);
        run.accumulatorOverflows += overflowed;
        run.output.push_back(
            static_cast<std::int64_t>(ToOutput(accumulator, fraction, formats, overflowed)));
        run.outputOverflows += overflowed;
    }
    return run;
}

} // namespace taplore
