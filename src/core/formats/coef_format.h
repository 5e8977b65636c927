#pragma once
// The taps as text for other software, beside the saved file's format
// (FormatCoefficientText): the command line and the dialog's clipboard share these.

#include "core/formats/fixed_point.h"
#include "core/formats/taps_description.h"

#include <string>
#include <string_view>

// One tap a line with 17 significant digits, so each reads back as the same double;
// "inf", "-inf" and "nan" as the file writer spells them; LF line ends.
std::string FormatCoefficientsFull(const double* coef, int count);

enum class CFloating { doubleType, floatType };

// value as a C floating constant of the type: 17 significant digits for a double, the shortest
// digits that give back the nearest float (with the f suffix) for a float; always with "." or an
// exponent, so -0.0 keeps its sign; NAN, INFINITY and -INFINITY (from <math.h>) where the value
// in that type is not finite.
void AppendCFloatingConstant(std::string& out, double value, CFloating type);

// A C definition of the count taps, const double fir_coefficients[count], after a comment
// holding the description's title and then its notes, a line each. Values have
// 17 significant digits and are always floating constants (so -0.0 keeps its sign); taps that
// are not finite are written NAN, INFINITY and -INFINITY after #include <math.h>. The text
// compiles on its own as C99. LF line ends.
std::string FormatCoefficientsC(const double* coef, int count,
                                const taplore::TapsDescription& description);

// The comment FormatCoefficientsC starts with.
std::string FormatCComment(const taplore::TapsDescription& description);

// The array FormatCoefficientsC ends with, under another name.
std::string FormatCDoubleArray(std::string_view name, const double* coef, int count);

// One integer a line, LF line ends.
std::string FormatFixedPoint(const FixedPointTaps& taps);

// As FormatCoefficientsC for the quantised taps, an int16_t or int32_t array after
// #include <stdint.h>; the comment's first line adds the format, its scaling, the saturated taps
// and the quantisation cost against coef, the double taps they were made from.
std::string FormatFixedPointC(const double* coef, const FixedPointTaps& taps,
                              const taplore::TapsDescription& description);

// The array FormatFixedPointC ends with, under another name.
std::string FormatFixedPointCArray(std::string_view name, const FixedPointTaps& taps);
