#pragma once
// Taps as the integers a fixed-point DSP routine or an FPGA's multipliers take: any width of
// two's complement from 2 to 32 bits with any number of fraction bits (Q15 in int16_t and Q31
// in int32_t among them), and what the rounding costs the filter's response.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// B total bits, sign included, of which F are fraction bits: a value q stands for q / 2^F.
struct QFormat {
    static constexpr int kMinBits = 2;
    static constexpr int kMaxBits = 32;
    static constexpr int kMaxFraction = 62;

    int bits = 16;     // kMinBits ... kMaxBits
    int fraction = 15; // 0 ... kMaxFraction

    static const QFormat q15; // 16 bits, 15 of them fraction
    static const QFormat q31; // 32 bits, 31 of them fraction

    friend bool operator==(const QFormat&, const QFormat&) = default;

    // The largest and smallest value: 2^(B-1) - 1 and -2^(B-1).
    std::int32_t Largest() const;
    std::int32_t Smallest() const;
};
inline constexpr QFormat QFormat::q15{16, 15};
inline constexpr QFormat QFormat::q31{32, 31};

// "B" or "B.F" with B from 2 to 32 and F from 0 to 62 (B - 1 when left out); nullopt for any
// other text.
std::optional<QFormat> ParseQFormat(std::string_view text);

// "Q15" and "Q31" for those two; otherwise "Q<F> in <B> bits", such as "Q17 in 18 bits".
std::string QFormatName(QFormat format);

// The weight of one unit: 2^F.
double QFormatScale(QFormat format);

struct FixedPointTaps {
    QFormat format = QFormat::q15;
    std::vector<std::int32_t> values; // each within the format's range
    int saturated = 0;                // taps clipped to the format's range
    bool searched = false;            // integers by a search over roundings, not rounded plainly
};

// Thrown for a design with a tap that is not finite; what() is the message users see.
class NoFixedPointForm : public std::runtime_error {
public:
    NoFixedPointForm();
};

// q = round(h * 2^F), halves rounded away from zero, clipped to [-2^(B-1), 2^(B-1) - 1].
// Throws NoFixedPointForm when any tap is not finite.
FixedPointTaps Quantise(const double* coef, int count, QFormat format);

// Each value divided by its scale: the taps the fixed-point routine really filters with.
std::vector<double> Dequantise(const FixedPointTaps& taps);

// 20*log10 of the largest |H_q(f) - H(f)| over the bins of one transform of
// max(1024, the next power of two >= count) points: H is coef's response, H_q that of the
// dequantised taps. -inf when the taps are exact. Throws std::bad_alloc when the transform
// does not fit in memory.
double QuantisationCostDb(const double* coef, const FixedPointTaps& taps);

// "Q15 (tap x 32768, rounded, saturated): 0 taps saturated, response within -65.7 dB of the
// double design": the format, its scaling, the saturated taps and the quantisation cost
// against coef, the double taps the values were made from.
std::string QuantisationNote(const double* coef, const FixedPointTaps& taps);
