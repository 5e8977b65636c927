#include "core/formats/taps_reader.h"

#include "core/formats/crt.h"
#include "core/formats/taps_reader_parts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace taplore {
namespace reader {
namespace {

// A number's text is quoted in a message up to this many characters.
constexpr std::size_t kQuotedLength = 40;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The text in double quotes, shortened and with unprintable bytes shown as "?", so that a
// binary file's message stays one readable line.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text.substr(0, kQuotedLength)) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += byte < 0x20 || byte >= 0x7f ? '?' : c;
    }
    return quoted + (text.size() > kQuotedLength ? "...\"" : "\"");
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// The spellings of values that are not finite, which the writers use and other programs too.
bool SpellsNonFinite(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return EqualsIgnoringCase(text, "nan") || EqualsIgnoringCase(text, "inf") ||
           EqualsIgnoringCase(text, "infinity");
}

// std::from_chars reads plain decimal texts fastest; the program's own rule (crt::StrictAtof)
// takes the rest it accepts: a leading "+", exponents written with d, values beyond range.
// Both round correctly, so they agree wherever both read.
std::optional<double> ParseNumber(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size())
        return value;
    return crt::StrictAtof(text);
}

// Digits alone, with a "-" or not: an integer, whatever its size.
bool SpellsInteger(std::string_view text) {
    if (text.starts_with('-'))
        text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What is outside the format: an integer beyond int is said as one within it is.
[[noreturn]] void FailOutside(std::string_view integer, int line, QFormat format) {
    const std::string shown = integer.size() > kQuotedLength
                                  ? std::string(integer.substr(0, kQuotedLength)) + "..."
                                  : std::string(integer);
    Fail(line, shown + " is outside " + QFormatName(format) + ", " +
                   crt::FormatD(format.Smallest()) + " to " + crt::FormatD(format.Largest()));
}

double ParseFixedPoint(std::string_view text, int line, QFormat format) {
    const std::optional<int> value = crt::StrictAtoi(text);
    if (!value && SpellsInteger(text))
        FailOutside(text, line, format);
    if (!value)
        Fail(line, Quoted(text) + " is not an integer of " + QFormatName(format));
    if (*value < format.Smallest() || *value > format.Largest())
        FailOutside(crt::FormatD(*value), line, format);
    return *value / QFormatScale(format);
}

// Each line that is not blank, with its number, to visit(line, text) until it returns false.
template <typename Visit> void ForEachLine(std::string_view text, Visit visit) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        ++number;
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && !visit(number, line))
            return;
    }
}

TapsFile ReadLines(std::string_view text, const TapsReading& reading) {
    TapsFile file;
    ForEachLine(text, [&](int line, std::string_view number) {
        AddTap(file.taps, ParseTap(number, line, reading), line, reading);
        return true;
    });
    return file;
}

// The fields of one CSV line; a field in double quotes may hold commas and doubled quotes.
std::vector<std::string> CsvFields(std::string_view text, int line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            fields.back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (quoted)
        Fail(line, "a quote that is not closed");
    for (std::string& field : fields)
        field = std::string(Trimmed(field));
    return fields;
}

// Rows of "index,tap" (the index counting from 0) or of the tap alone, after an optional
// header: a first line whose last field is no number, naming the design.
// A tap field of digits alone, as "5" of "0,5": in a file without a header (which Taplore's CSV
// always has) where every row is such, the commas are decimal commas rather than columns.
bool LooksLikeDecimalComma(const std::vector<std::string>& fields) {
    return fields.size() == 2 && !fields.back().empty() &&
           std::all_of(fields.back().begin(), fields.back().end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

[[noreturn]] void FailDecimalComma(int line, const std::string& row) {
    Fail(line, Quoted(row) + " looks like a number with a decimal comma: write taps with \".\", "
                             "as in 0.5, or give a CSV of index and tap its header line");
}

TapsFile ReadCsv(std::string_view text, const TapsReading& reading) {
    TapsFile file;
    bool first = true;
    // The first row while every row so far looks like a number with a decimal comma.
    std::optional<std::pair<int, std::string>> decimalComma;
    bool decimalCommas = !reading.fixedPoint;
    ForEachLine(text, [&](int line, std::string_view row) {
        const std::vector<std::string> fields = CsvFields(row, line);
        if (std::exchange(first, false) && !ParseNumber(fields.back()) &&
            !SpellsNonFinite(fields.back())) {
            file.description.title = fields.back();
            return true;
        }
        if (fields.size() > 2)
            Fail(line, crt::FormatD(static_cast<int>(fields.size())) +
                           " fields where index and tap were expected");
        decimalCommas = decimalCommas && LooksLikeDecimalComma(fields);
        if (decimalCommas && !decimalComma)
            decimalComma.emplace(line, std::string(row));
        if (fields.size() == 2) {
            const auto index = crt::StrictAtoi(fields.front());
            if ((!index || *index != static_cast<std::int64_t>(file.taps.size())) &&
                decimalCommas && file.description.title.empty())
                FailDecimalComma(decimalComma->first, decimalComma->second);
            if (!index || *index != static_cast<std::int64_t>(file.taps.size()))
                Fail(line, "index " + Quoted(fields.front()) + " where " +
                               std::to_string(file.taps.size()) + " was expected");
        }
        AddTap(file.taps, ParseTap(fields.back(), line, reading), line, reading);
        return true;
    });
    if (decimalCommas && decimalComma && file.description.title.empty())
        FailDecimalComma(decimalComma->first, decimalComma->second);
    return file;
}

// The first line that is not blank holds a comma.
bool LooksLikeCsv(std::string_view text) {
    bool comma = false;
    ForEachLine(text, [&comma](int, std::string_view line) {
        comma = line.find(',') != std::string_view::npos;
        return false;
    });
    return comma;
}

} // namespace

void Fail(int line, const std::string& what) {
    throw TapsFileError("line " + crt::FormatD(line) + ": " + what);
}

void FailNumber(std::string_view text, int line) {
    Fail(line,
         Quoted(text) + (SpellsNonFinite(text) ? " is not a finite number" : " is not a number"));
}

double ParseTap(std::string_view text, int line, const TapsReading& reading) {
    if (reading.fixedPoint)
        return ParseFixedPoint(text, line, *reading.fixedPoint);
    const std::optional<double> value = SpellsNonFinite(text) ? std::nullopt : ParseNumber(text);
    if (!value)
        FailNumber(text, line);
    if (!std::isfinite(*value))
        Fail(line, Quoted(text) + " is beyond the range of a double");
    return *value;
}

void AddTap(std::vector<double>& taps, double tap, int line, const TapsReading& reading) {
    if (static_cast<std::int64_t>(taps.size()) >= reading.maxTaps)
        Fail(line, "more than " + std::to_string(reading.maxTaps) + " taps");
    taps.push_back(tap);
}

} // namespace reader

TapsFile ReadTaps(std::string_view text, const TapsReading& reading) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    TapsFile file;
    if (start != std::string_view::npos && text[start] == '[')
        reader::Fail(1 + static_cast<int>(std::count(text.begin(), text.begin() + start, '\n')),
                     "a JSON array alone: Taplore's JSON is an object whose \"taps\" member "
                     "holds the array, as in {\"taps\": [0.1, 0.2]}");
    if (start != std::string_view::npos && text[start] == '{')
        file = reader::ReadJson(text, reading);
    else if (reader::LooksLikeCsv(text))
        file = reader::ReadCsv(text, reading);
    else
        file = reader::ReadLines(text, reading);
    if (file.taps.empty())
        throw TapsFileError("no taps: the file holds no number");
    return file;
}

} // namespace taplore
