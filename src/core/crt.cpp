#include "core/crt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace crt {
namespace {

// Enough for the 309 integer digits of the largest double, a sign, "." and six decimals.
constexpr std::size_t kFixedBufferSize = 330;

// Beyond these powers of ten (of the leading digit) a double is certainly infinite or zero,
// so such exponents never reach the converter and never overflow our own arithmetic.
constexpr std::int64_t kOverflowMagnitude = 400;
constexpr std::int64_t kUnderflowMagnitude = -400;
constexpr std::int64_t kExponentLimit = std::int64_t{1} << 40;

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void SkipSpace(std::string_view& rest) {
    while (!rest.empty() && IsSpace(rest.front()))
        rest.remove_prefix(1);
}

// Consumes an optional sign; true when it was a minus.
bool TakeMinus(std::string_view& rest) {
    if (rest.empty() || (rest.front() != '+' && rest.front() != '-'))
        return false;
    const bool minus = rest.front() == '-';
    rest.remove_prefix(1);
    return minus;
}

std::string_view TakeDigits(std::string_view& rest) {
    std::size_t count = 0;
    while (count < rest.size() && IsDigit(rest[count]))
        ++count;
    const std::string_view digits = rest.substr(0, count);
    rest.remove_prefix(count);
    return digits;
}

bool IsExponentLetter(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The exponent part, saturated far beyond any meaningful value; 0 when there is none.
// The letter is consumed only when at least one digit follows it (with its optional sign).
std::int64_t TakeExponent(std::string_view& rest) {
    if (rest.empty() || !IsExponentLetter(rest.front()))
        return 0;
    std::string_view afterLetter = rest.substr(1);
    const bool minus = TakeMinus(afterLetter);
    const std::string_view digits = TakeDigits(afterLetter);
    if (digits.empty())
        return 0;
    rest = afterLetter;
    std::int64_t value = 0;
    for (const char digit : digits)
        value = std::min(value * 10 + (digit - '0'), kExponentLimit);
    return minus ? -value : value;
}

// A decimal number digits * 10^exponent, with no leading or trailing zero digits.
struct Decimal {
    std::string digits;
    std::int64_t exponent = 0;

    // The power of ten of the leading digit.
    std::int64_t Magnitude() const {
        return static_cast<std::int64_t>(digits.size()) - 1 + exponent;
    }
};

Decimal Normalise(std::string_view integer, std::string_view fraction, std::int64_t exponent) {
    Decimal decimal;
    decimal.digits.reserve(integer.size() + fraction.size());
    decimal.digits.append(integer);
    decimal.digits.append(fraction);
    decimal.exponent = exponent - static_cast<std::int64_t>(fraction.size());
    // All zeros leave no digits: npos + 1 is 0.
    const std::size_t significant = decimal.digits.find_last_not_of('0') + 1;
    decimal.exponent += static_cast<std::int64_t>(decimal.digits.size() - significant);
    decimal.digits.resize(significant);
    decimal.digits.erase(0, decimal.digits.find_first_not_of('0'));
    return decimal;
}

// The correctly rounded magnitude of a non-zero decimal; infinity or zero out of range.
double ToDouble(const Decimal& decimal) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    if (decimal.Magnitude() > kOverflowMagnitude)
        return infinity;
    if (decimal.Magnitude() < kUnderflowMagnitude)
        return 0.0;
    std::string text = decimal.digits;
    text += 'e';
    char exponent[24];
    const auto written = std::to_chars(exponent, exponent + sizeof exponent, decimal.exponent);
    text.append(exponent, written.ptr);
    double value = 0.0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec == std::errc::result_out_of_range)
        return decimal.Magnitude() > 0 ? infinity : 0.0;
    return value;
}

// Writes value in fixed notation; not-a-number is "nan" whatever its sign bit.
std::size_t WriteFixed(char* buffer, double value, int precision) {
    static constexpr std::string_view nan = "nan";
    if (std::isnan(value))
        return nan.copy(buffer, nan.size());
    const auto result = std::to_chars(buffer, buffer + kFixedBufferSize, value,
                                      std::chars_format::fixed, precision);
    return static_cast<std::size_t>(result.ptr - buffer);
}

} // namespace

int Atoi(std::string_view text) {
    SkipSpace(text);
    const bool minus = TakeMinus(text);
    std::uint32_t value = 0;
    for (const char digit : TakeDigits(text))
        value = value * 10u + static_cast<std::uint32_t>(digit - '0');
    if (minus)
        value = 0u - value;
    return static_cast<int>(value);
}

double Atof(std::string_view text) {
    SkipSpace(text);
    const bool minus = TakeMinus(text);
    const std::string_view integer = TakeDigits(text);
    std::string_view fraction;
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        fraction = TakeDigits(text);
    }
    if (integer.empty() && fraction.empty())
        return 0.0;
    const Decimal decimal = Normalise(integer, fraction, TakeExponent(text));
    const double magnitude = decimal.digits.empty() ? 0.0 : ToDouble(decimal);
    return minus ? -magnitude : magnitude;
}

std::string FormatF(double value) {
    std::string text;
    AppendF(text, value);
    return text;
}

std::string FormatF8_1(double value) {
    constexpr std::size_t width = 8;
    char buffer[kFixedBufferSize];
    const std::size_t length = WriteFixed(buffer, value, 1);
    std::string text(length < width ? width - length : 0, ' ');
    text.append(buffer, length);
    return text;
}

std::string FormatD(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void AppendF(std::string& out, double value) {
    char buffer[kFixedBufferSize];
    out.append(buffer, WriteFixed(buffer, value, 6));
}

} // namespace crt
