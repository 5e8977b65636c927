#pragma once
// The taps and the response as text for other software, beside the saved file's format
// (FormatCoefficientText): the command line and the dialog's clipboard share these.

#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"
#include "core/formats/fixed_point.h"

#include <string>

// One tap a line with 17 significant digits, so each reads back as the same double;
// "inf", "-inf" and "nan" as the file writer spells them; LF line ends.
std::string FormatCoefficientsFull(const double* coef, int count);

// The design in words: "band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz", with
// the band type the request's cutoffs select.
std::string DescribeRequest(const DesignRequest& request);

// A C definition of the count taps, const double fir_coefficients[count], after a one-line
// comment naming the band type the request selects, its order, rate and cutoffs. Values have
// 17 significant digits and are always floating constants (so -0.0 keeps its sign); taps that
// are not finite are written NAN, INFINITY and -INFINITY after #include <math.h>. The text
// compiles on its own as C99. LF line ends.
std::string FormatCoefficientsC(const double* coef, int count, const DesignRequest& request);

// One integer a line, LF line ends.
std::string FormatFixedPoint(const FixedPointTaps& taps);

// As FormatCoefficientsC for the quantised taps, an int16_t or int32_t array after
// #include <stdint.h>; the comment adds the format, its scaling, the saturated taps and the
// quantisation cost against coef, the double taps they were made from.
std::string FormatFixedPointC(const double* coef, const FixedPointTaps& taps,
                              const DesignRequest& request);

// Bin k a line: its frequency k*rate/1024 in Hz, a tab, its level in dB, each as the shortest
// text that reads back as the same double; LF line ends. With quantisedDb, a second tab and
// the quantised filter's level follow on each line.
std::string FormatResponse(const SpectrumLevels& levelsDb, double rate,
                           const SpectrumLevels* quantisedDb = nullptr);
