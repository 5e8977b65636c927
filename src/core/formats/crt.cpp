#include "core/formats/crt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace crt {
namespace {

// Enough for the 309 integer digits of the largest double, a sign, "." and six decimals,
// and so for every shorter format here.
constexpr std::size_t kNumberBufferSize = 330;

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

// Writes value as std::to_chars does with the given format arguments, except that
// not-a-number is "nan" whatever its sign bit.
template <class... Format> std::size_t WriteNumber(char* buffer, double value, Format... format) {
    static constexpr std::string_view nan = "nan";
    if (std::isnan(value))
        return nan.copy(buffer, nan.size());
    const auto result = std::to_chars(buffer, buffer + kNumberBufferSize, value, format...);
    return static_cast<std::size_t>(result.ptr - buffer);
}

std::size_t WriteFixed(char* buffer, double value, int precision) {
    return WriteNumber(buffer, value, std::chars_format::fixed, precision);
}

// Consumes one number of Atof's grammar from the front of rest; nullopt when it has neither
// integer nor fraction digits (a sign or "." may then have been consumed).
std::optional<double> TakeNumber(std::string_view& rest) {
    const bool minus = TakeMinus(rest);
    const std::string_view integer = TakeDigits(rest);
    std::string_view fraction;
    if (!rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        fraction = TakeDigits(rest);
    }
    if (integer.empty() && fraction.empty())
        return std::nullopt;
    const Decimal decimal = Normalise(integer, fraction, TakeExponent(rest));
    const double magnitude = decimal.digits.empty() ? 0.0 : ToDouble(decimal);
    return minus ? -magnitude : magnitude;
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
    return TakeNumber(text).value_or(0.0);
}

std::optional<int> StrictAtoi(std::string_view text) {
    const bool minus = TakeMinus(text);
    const std::string_view digits = TakeDigits(text);
    if (digits.empty() || !text.empty())
        return std::nullopt;
    // One past INT_MAX still fits, for INT_MIN; any more digits cannot come back into range.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t value = 0;
    for (const char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value > limit)
            return std::nullopt;
    }
    value = minus ? -value : value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<double> StrictAtof(std::string_view text) {
    const std::optional<double> value = TakeNumber(text);
    if (!text.empty())
        return std::nullopt;
    return value;
}

std::string FormatF(double value) {
    std::string text;
    AppendF(text, value);
    return text;
}

std::string FormatF8_1(double value) {
    constexpr std::size_t width = 8;
    char buffer[kNumberBufferSize];
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

std::string FormatShortest(double value) {
    std::string text;
    AppendShortest(text, value);
    return text;
}

void AppendShortest(std::string& out, double value) {
    char buffer[kNumberBufferSize];
    out.append(buffer, WriteNumber(buffer, value));
}

std::string FormatG(double value, int significantDigits) {
    char buffer[kNumberBufferSize];
    return std::string(buffer,
                       WriteNumber(buffer, value, std::chars_format::general, significantDigits));
}

void AppendF(std::string& out, double value) {
    char buffer[kNumberBufferSize];
    out.append(buffer, WriteFixed(buffer, value, 6));
}

void AppendG17(std::string& out, double value) {
    constexpr int significantDigits = 17;
    char buffer[kNumberBufferSize];
    out.append(buffer, WriteNumber(buffer, value, std::chars_format::general, significantDigits));
}

} // namespace crt
