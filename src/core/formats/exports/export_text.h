#pragma once
// What the export writers share: the description as comment lines, and integers in the forms
// hardware-description and memory files spell them.

#include "core/formats/exports/export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// line made safe for any comment: control characters become blanks, backslashes slashes, and
// "??" (which could continue a C comment onto the next line) and "*/" (which would end a C
// block comment) are broken up by a blank.
std::string CommentSafe(std::string_view line);

// The description's title and notes, then for quantised taps their quantisation note, each
// made CommentSafe.
std::vector<std::string> DescriptionLines(const ExportInput& input);

// A comment line is cut into lines of at most this many bytes: a tool reading a target's file
// may refuse longer lines (iverilog stops at about 16 KB), and no description needs them.
constexpr std::size_t kMaxCommentLength = 1000;

// line cut into pieces of at most kMaxCommentLength bytes, at the last blank before the limit
// (which is dropped) or, where there is none, at the limit, between UTF-8 characters.
std::vector<std::string_view> WrappedComment(std::string_view line);

// line, already CommentSafe, after prefix and a blank, LF line ends; a line longer than
// kMaxCommentLength continues on further comment lines.
void AppendComment(std::string& text, std::string_view prefix, std::string_view line);

// Each of DescriptionLines so.
std::string CommentLines(const ExportInput& input, std::string_view prefix);

// The quantised taps a format with a width writes; throws std::logic_error when the caller
// gave none.
const FixedPointTaps& QuantisedTaps(const ExportInput& input);

// value's two's complement in bits bits: upper-case hexadecimal of (bits + 3) / 4 digits, or
// bits binary digits.
std::string TwosComplementHex(std::int32_t value, int bits);
std::string TwosComplementBinary(std::int32_t value, int bits);

// The elements of a VHDL aggregate of the taps, one a line after 8 blanks: "k => "bits"," each
// written bit for bit (so that even the most negative 32-bit value needs no integer), its
// decimal value in a comment. Named association, so that a single tap is an array too.
std::string VhdlTapElements(std::span<const std::int32_t> values, int bits);

} // namespace taplore
