#include "cli/console.h"

#include <algorithm>

int Report(Console& console, int status, const std::string& message) {
    Warn(console, message);
    return status;
}

void ShowReport(Console& console, const taplore::TapsDescription& report) {
    console.progress.Erase();
    console.err << report.title << '\n';
    for (const std::string& line : report.notes)
        console.err << line << '\n';
}

namespace {

// "\n" for a newline, "\x1b" for an escape.
std::string Escape(unsigned char byte) {
    switch (byte) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        constexpr char digits[] = "0123456789abcdef";
        return {'\\', 'x', digits[byte >> 4], digits[byte & 15]};
    }
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7f;
}

// The length of the UTF-8 sequence of a printable character at text's start, 0 where there is
// none: a byte that starts no sequence, a sequence cut short or too long, or a C1 control.
std::size_t CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80)
        return IsControl(lead) ? 0 : 1;
    const std::size_t length = lead >= 0xc2 && lead <= 0xdf   ? 2
                               : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80)
            return 0;
    const auto second = static_cast<unsigned char>(text[1]);
    if ((lead == 0xc2 && second < 0xa0) || (lead == 0xe0 && second < 0xa0) ||
        (lead == 0xed && second >= 0xa0) || (lead == 0xf0 && second < 0x90) ||
        (lead == 0xf4 && second >= 0x90))
        return 0; // C1 controls, overlong forms, surrogates and beyond U+10FFFF
    return length;
}

} // namespace

std::string Echoed(std::string_view text) {
    std::string echoed;
    for (std::size_t characters = 0; !text.empty(); ++characters) {
        if (characters == kEchoedLength)
            return echoed + "…";
        const std::size_t length = CharacterLength(text);
        if (length == 0)
            echoed += Escape(static_cast<unsigned char>(text.front()));
        else
            echoed.append(text.substr(0, length));
        text.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return echoed;
}

// Whatever the message quotes, its control bytes never reach the terminal: the line stays one.
void Warn(Console& console, const std::string& message) {
    console.progress.Erase();
    std::string line;
    for (const char c : message)
        line += IsControl(static_cast<unsigned char>(c)) ? Escape(static_cast<unsigned char>(c))
                                                         : std::string(1, c);
    console.err << kProgram << ": " << line << '\n';
}
