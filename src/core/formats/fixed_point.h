#pragma once
// Taps as the integers a fixed-point DSP routine takes: Q15 (int16_t) or Q31 (int32_t), and
// what the rounding costs the filter's response.

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

enum class QFormat { q15, q31 };

// "Q15" or "Q31".
std::string_view QFormatName(QFormat format);

// The weight of one unit: 2^15 or 2^31.
double QFormatScale(QFormat format);

struct FixedPointTaps {
    QFormat format = QFormat::q15;
    std::vector<std::int32_t> values; // a Q15 value always fits in int16_t
    int saturated = 0;                // taps clipped to the format's range
};

// Thrown for a design with a tap that is not finite; what() is the message users see.
class NoFixedPointForm : public std::runtime_error {
public:
    NoFixedPointForm();
};

// q = round(h * scale), halves rounded away from zero, clipped to [-scale, scale - 1].
// Throws NoFixedPointForm when any tap is not finite.
FixedPointTaps Quantise(const double* coef, int count, QFormat format);

// Each value divided by its scale: the taps the fixed-point routine really filters with.
std::vector<double> Dequantise(const FixedPointTaps& taps);

// 20*log10 of the largest |H_q(f) - H(f)| over the bins of one transform of
// max(1024, the next power of two >= count) points: H is coef's response, H_q that of the
// dequantised taps. -inf when the taps are exact. Throws std::bad_alloc when the transform
// does not fit in memory.
double QuantisationCostDb(const double* coef, const FixedPointTaps& taps);
