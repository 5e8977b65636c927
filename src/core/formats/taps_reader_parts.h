#pragma once
// The parts of the taps reader its formats share: the number rules and the messages.

#include "core/formats/taps_reader.h"

#include <string>
#include <string_view>

namespace taplore::reader {

// "line 7: " + what.
[[noreturn]] void Fail(int line, const std::string& what);

// The message for a text that is no tap: not a number, or a number that is not finite.
[[noreturn]] void FailNumber(std::string_view text, int line);

// One tap's text as the reading asks for it: a finite double, or a fixed-point integer of the
// reading's width divided by its scale. Throws TapsFileError naming line.
double ParseTap(std::string_view text, int line, const TapsReading& reading);

// Appends a tap, refusing one more than the reading allows.
void AddTap(std::vector<double>& taps, double tap, int line, const TapsReading& reading);

// The JSON reader: taps, design, notes and rate of Taplore's JSON.
TapsFile ReadJson(std::string_view text, const TapsReading& reading);

} // namespace taplore::reader
