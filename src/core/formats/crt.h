#pragma once
// The C-runtime number rules the program relies on, written out so that they never
// depend on the process locale: "." is always the decimal separator.

#include <optional>
#include <string>
#include <string_view>

namespace crt {

// Leading white space, optional sign, decimal digits; wraps in 32-bit two's complement.
int Atoi(std::string_view text);

// Leading white space, optional sign, digits with optional "." and fraction, optional
// exponent introduced by e, E, d or D. No inf, nan or hexadecimal forms.
double Atof(std::string_view text);

// Strict forms for arguments: the value Atoi or Atof gives when the whole text, with no blanks
// around it, is one number of their grammar (and for StrictAtoi, within int); otherwise nullopt.
std::optional<int> StrictAtoi(std::string_view text);
std::optional<double> StrictAtof(std::string_view text);

std::string FormatF(double value);    // "%f"
std::string FormatF8_1(double value); // "%8.1f"
std::string FormatD(int value);       // "%d"

// Shortest text that reads back as the same double ("inf", "-inf", "nan" when not finite).
std::string FormatShortest(double value);

// "%.*g": significantDigits (1 ... 17) significant digits, trailing zeros dropped.
std::string FormatG(double value, int significantDigits);

// Appends "%f" of value to out without an intermediate string (for long listings).
void AppendF(std::string& out, double value);

// Appends FormatShortest(value) to out.
void AppendShortest(std::string& out, double value);

// Appends "%.17g" of value: 17 significant digits, enough to read back the same double.
void AppendG17(std::string& out, double value);

} // namespace crt
