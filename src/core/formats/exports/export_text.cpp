#include "core/formats/exports/export_text.h"

#include "core/formats/crt.h"
#include "core/formats/fixed_point.h"

#include <stdexcept>

namespace taplore {
namespace {

// The two's complement of value as an unsigned number of bits bits.
std::uint32_t Unsigned(std::int32_t value, int bits) {
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::int64_t{value}) & mask);
}

} // namespace

std::string CommentSafe(std::string_view line) {
    std::string safe;
    safe.reserve(line.size());
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            safe += ' ';
        else if (c == '\\')
            safe += '/';
        else if ((c == '?' || c == '/') && !safe.empty() && safe.back() == (c == '?' ? '?' : '*'))
            safe += std::string(" ") + c;
        else
            safe += c;
    }
    return safe;
}

std::vector<std::string> DescriptionLines(const ExportInput& input) {
    std::vector<std::string> lines{CommentSafe(input.description.title)};
    for (const std::string& note : input.description.notes)
        lines.push_back(CommentSafe(note));
    if (input.quantised)
        lines.push_back(QuantisationNote(input.taps.data(), *input.quantised));
    return lines;
}

std::vector<std::string_view> WrappedComment(std::string_view line) {
    std::vector<std::string_view> pieces;
    while (line.size() > kMaxCommentLength) {
        std::size_t cut = line.rfind(' ', kMaxCommentLength);
        if (cut == std::string_view::npos || cut == 0) {
            // No blank to break at: a cut that never splits a UTF-8 character.
            cut = kMaxCommentLength;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xc0) == 0x80)
                --cut;
        }
        pieces.push_back(line.substr(0, cut));
        line.remove_prefix(cut);
        if (line.starts_with(' '))
            line.remove_prefix(1);
    }
    pieces.push_back(line);
    return pieces;
}

void AppendComment(std::string& text, std::string_view prefix, std::string_view line) {
    for (const std::string_view piece : WrappedComment(line)) {
        text.append(prefix).append(" ").append(piece);
        text += '\n';
    }
}

std::string CommentLines(const ExportInput& input, std::string_view prefix) {
    std::string text;
    for (const std::string& line : DescriptionLines(input))
        AppendComment(text, prefix, line);
    return text;
}

const FixedPointTaps& QuantisedTaps(const ExportInput& input) {
    if (!input.quantised)
        throw std::logic_error("an export with a width was given no quantised taps");
    return *input.quantised;
}

std::string TwosComplementHex(std::int32_t value, int bits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::uint32_t word = Unsigned(value, bits);
    std::string text(static_cast<std::size_t>((bits + 3) / 4), '0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[text.size() - 1 - i] = kDigits[(word >> (4 * i)) & 0xf];
    return text;
}

std::string TwosComplementBinary(std::int32_t value, int bits) {
    const std::uint32_t word = Unsigned(value, bits);
    std::string text(static_cast<std::size_t>(bits), '0');
    for (int i = 0; i < bits; ++i)
        text[text.size() - 1 - static_cast<std::size_t>(i)] = (word >> i) & 1 ? '1' : '0';
    return text;
}

std::string VhdlTapElements(std::span<const std::int32_t> values, int bits) {
    std::string text;
    text.reserve(values.size() * (static_cast<std::size_t>(bits) + 30));
    for (std::size_t k = 0; k < values.size(); ++k) {
        text += "        " + crt::FormatD(static_cast<int>(k)) + " => \"";
        text += TwosComplementBinary(values[k], bits);
        text += k + 1 < values.size() ? "\", -- " : "\"  -- ";
        text += crt::FormatD(values[k]) + "\n";
    }
    return text;
}

} // namespace taplore
