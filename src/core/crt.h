#pragma once
// The C-runtime number rules the program relies on, written out so that they never
// depend on the process locale: "." is always the decimal separator.

#include <string>
#include <string_view>

namespace crt {

// Leading white space, optional sign, decimal digits; wraps in 32-bit two's complement.
int Atoi(std::string_view text);

// Leading white space, optional sign, digits with optional "." and fraction, optional
// exponent introduced by e, E, d or D. No inf, nan or hexadecimal forms.
double Atof(std::string_view text);

std::string FormatF(double value);    // "%f"
std::string FormatF8_1(double value); // "%8.1f"
std::string FormatD(int value);       // "%d"

// Appends "%f" of value to out without an intermediate string (for long listings).
void AppendF(std::string& out, double value);

} // namespace crt
