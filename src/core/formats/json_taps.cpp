// Taplore's JSON read back: one object whose "taps" array holds the taps, with "design",
// "notes" and "rate" read when present and any other member passed over. The grammar is
// JSON's own, checked strictly, with the line of the first fault in the message.
#include "core/formats/crt.h"
#include "core/formats/taps_reader_parts.h"

#include <optional>
#include <string>

namespace taplore::reader {
namespace {

// Deeper values than this are refused rather than followed.
constexpr int kMaxDepth = 64;

class JsonParser {
public:
    JsonParser(std::string_view text, const TapsReading& reading)
        : m_text(text), m_reading(reading) {}

    TapsFile Document() {
        TapsFile file;
        bool hasTaps = false;
        std::optional<double> count; // "count", where given, and its line
        int countLine = 0;
        Expect('{', "\"{\" to start the JSON object");
        if (!Take('}')) {
            do {
                const std::string key = Key();
                if (key == "taps") {
                    file.taps = Taps();
                    hasTaps = true;
                } else if (key == "design") {
                    file.description.title = StringMember(key);
                } else if (key == "notes") {
                    file.description.notes = Notes();
                } else if (key == "rate") {
                    file.description.rate = Rate();
                } else if (key == "count") {
                    countLine = m_line;
                    count = Number(TapsReading{});
                } else {
                    SkipValue(1);
                }
            } while (Take(','));
            Expect('}', "\",\" or \"}\" after a member");
        }
        SkipSpace();
        if (m_at < m_text.size())
            Fail(m_line, "text after the JSON object");
        if (!hasTaps)
            Fail(m_line, "no \"taps\" array in the JSON object");
        if (count && *count != static_cast<double>(file.taps.size()))
            Fail(countLine, "\"count\" is " + crt::FormatShortest(*count) +
                                ", but \"taps\" holds " + std::to_string(file.taps.size()) +
                                " taps");
        return file;
    }

private:
    void SkipSpace() {
        for (; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            if (c == '\n')
                ++m_line;
            else if (c != ' ' && c != '\t' && c != '\r')
                return;
        }
    }

    // Consumes c, after blanks, when it comes next.
    bool Take(char c) {
        SkipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    void Expect(char c, const std::string& what) {
        if (!Take(c))
            Fail(m_line, "expected " + what);
    }

    char Next() {
        SkipSpace();
        return m_at < m_text.size() ? m_text[m_at] : '\0';
    }

    std::string Key() {
        if (Next() != '"')
            Fail(m_line, "expected a member's name in double quotes");
        std::string key = String();
        Expect(':', "\":\" after a member's name");
        return key;
    }

    std::string StringMember(const std::string& key) {
        if (Next() != '"')
            Fail(m_line, "\"" + key + "\" must be a string");
        return String();
    }

    std::vector<std::string> Notes() {
        std::vector<std::string> notes;
        Expect('[', "\"[\": \"notes\" must be an array of strings");
        if (Take(']'))
            return notes;
        do
            notes.push_back(StringMember("notes"));
        while (Take(','));
        Expect(']', "\",\" or \"]\" in \"notes\"");
        return notes;
    }

    std::vector<double> Taps() {
        std::vector<double> taps;
        Expect('[', "\"[\": \"taps\" must be an array of numbers");
        if (Take(']'))
            return taps;
        do {
            const int line = m_line;
            AddTap(taps, Next() == '"' ? QuotedTap() : Number(m_reading), line, m_reading);
        } while (Take(','));
        Expect(']', "\",\" or \"]\" in \"taps\"");
        return taps;
    }

    // JSON has no number for a value that is not finite, so writers put it in quotes.
    double QuotedTap() {
        const int line = m_line;
        FailNumber(String(), line);
    }

    // A rate, not a tap: refused as --rate is.
    double Rate() {
        const int line = m_line;
        const double rate = Number(TapsReading{});
        if (!(rate > 0))
            Fail(line,
                 "\"rate\" must be a positive, finite number, not " + crt::FormatShortest(rate));
        return rate;
    }

    double Number(const TapsReading& reading) {
        SkipSpace();
        const int line = m_line;
        return ParseTap(NumberText(), line, reading);
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    std::string_view NumberText() {
        const std::size_t start = m_at;
        Skip("-");
        if (!Skip("0") && SkipDigits() == 0)
            Fail(m_line, "expected a value");
        if (Skip(".") && SkipDigits() == 0)
            Fail(m_line, "expected digits after \".\"");
        if (Skip("eE")) {
            Skip("+-");
            if (SkipDigits() == 0)
                Fail(m_line, "expected digits in the exponent");
        }
        return m_text.substr(start, m_at - start);
    }

    bool Skip(std::string_view oneOf) {
        if (m_at < m_text.size() && oneOf.find(m_text[m_at]) != std::string_view::npos) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::size_t SkipDigits() {
        const std::size_t start = m_at;
        while (Skip("0123456789")) {
        }
        return m_at - start;
    }

    // The string at the cursor, its escapes decoded (\u as UTF-8).
    std::string String() {
        ++m_at; // the opening quote
        std::string text;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return text;
            if (static_cast<unsigned char>(c) < 0x20)
                Fail(m_line, "a control character in a string");
            if (c == '\\')
                Escape(text);
            else
                text += c;
        }
        Fail(m_line, "a string that is not closed");
    }

    void Escape(std::string& text) {
        static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
        const char c = m_at < m_text.size() ? m_text[m_at++] : '\0';
        if (const std::size_t i = kFrom.find(c); c != '\0' && i != std::string_view::npos) {
            text += kTo[i];
            return;
        }
        if (c != 'u')
            Fail(m_line, "an unknown escape in a string");
        unsigned code = HexQuad();
        if (code >= 0xD800 && code < 0xDC00) { // a surrogate pair's first half
            if (!Skip("\\") || !Skip("u"))
                Fail(m_line, "half a surrogate pair in a string");
            const unsigned low = HexQuad();
            if (low < 0xDC00 || low >= 0xE000)
                Fail(m_line, "half a surrogate pair in a string");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
            Fail(m_line, "half a surrogate pair in a string");
        }
        AppendUtf8(text, code);
    }

    unsigned HexQuad() {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_at < m_text.size() ? m_text[m_at++] : '\0';
            const std::size_t digit =
                std::string_view("0123456789abcdef")
                    .find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
            if (c == '\0' || digit == std::string_view::npos)
                Fail(m_line, "expected four hexadecimal digits after \\u");
            code = code * 16 + static_cast<unsigned>(digit);
        }
        return code;
    }

    static void AppendUtf8(std::string& text, unsigned code) {
        const auto byte = [](unsigned value) { return static_cast<char>(value); };
        if (code < 0x80) {
            text += byte(code);
        } else if (code < 0x800) {
            text += byte(0xC0 | code >> 6);
            text += byte(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += byte(0xE0 | code >> 12);
            text += byte(0x80 | (code >> 6 & 0x3F));
            text += byte(0x80 | (code & 0x3F));
        } else {
            text += byte(0xF0 | code >> 18);
            text += byte(0x80 | (code >> 12 & 0x3F));
            text += byte(0x80 | (code >> 6 & 0x3F));
            text += byte(0x80 | (code & 0x3F));
        }
    }

    // Any value, checked and passed over.
    void SkipValue(int depth) {
        if (depth > kMaxDepth)
            Fail(m_line, "values nested more than " + crt::FormatD(kMaxDepth) + " deep");
        const char c = Next();
        if (c == '"') {
            String();
        } else if (c == '{' || c == '[') {
            SkipContainer(depth, c);
        } else if (!SkipWord("true") && !SkipWord("false") && !SkipWord("null")) {
            NumberText();
        }
    }

    void SkipContainer(int depth, char open) {
        const bool object = open == '{';
        ++m_at;
        if (Take(object ? '}' : ']'))
            return;
        do {
            if (object)
                Key();
            SkipValue(depth + 1);
        } while (Take(','));
        Expect(object ? '}' : ']',
               object ? "\",\" or \"}\" after a member" : "\",\" or \"]\" after a value");
    }

    bool SkipWord(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    std::string_view m_text;
    const TapsReading& m_reading;
    std::size_t m_at = 0;
    int m_line = 1;
};

} // namespace

TapsFile ReadJson(std::string_view text, const TapsReading& reading) {
    return JsonParser(text, reading).Document();
}

} // namespace taplore::reader
