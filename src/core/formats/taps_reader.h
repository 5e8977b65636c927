#pragma once
// Taps read back from a file: one number a line (any of Taplore's text formats: the saved
// "%f" CR LF file, full precision, the fixed-point integers), Taplore's CSV, or its JSON.
// Numbers are read exactly (the same double every writer's text came from), with "." whatever
// the locale. A file that cannot be read says where and why; nothing in it can crash the reader.

#include "core/formats/fixed_point.h"
#include "core/formats/taps_description.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace taplore {

// The taps, and what the file said of their design: JSON's design, notes and rate, or the
// CSV header's name; an empty title and a rate of 0 where it said nothing.
struct TapsFile {
    std::vector<double> taps;
    TapsDescription description;
};

// What is wrong with a file, naming the line where it is: "line 7: "0.1x" is not a number".
class TapsFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TapsReading {
    // Fixed-point integers of this width, each read as q / 2^F. Without it every number is
    // read as the value it spells: a Q15 file then gives its integers, 32768 times the taps.
    std::optional<QFormat> fixedPoint;
    // More taps than this are refused.
    std::int64_t maxTaps = std::numeric_limits<int>::max();
};

// The format is told by the text: JSON when it starts with "{", CSV when its first line that
// is not blank holds a comma, otherwise one number a line. Blank lines are skipped; CR LF and
// LF line ends are both read; a UTF-8 byte order mark is passed over. Every tap must be a
// finite number. Throws TapsFileError.
TapsFile ReadTaps(std::string_view text, const TapsReading& reading = {});

} // namespace taplore
