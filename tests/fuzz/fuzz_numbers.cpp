// The number rules against their grammar: a hand-written recogniser finds the longest
// prefix the grammar accepts, and the C library (in the untouched "C" locale) converts it.
#include "core/formats/crt.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsExponentLetter(char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

int ReferenceAtoi(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::uint64_t value = 0; // modulo 2^32 below
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = (value * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFFFFFFFFu;
    if (negative)
        value = (0x100000000u - value) & 0xFFFFFFFFu;
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// The accepted prefix, rewritten with "e" as the exponent letter, or "0" when there is none.
std::string AcceptedNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        number += text[i];
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
            number += text[i];
    }
    if (digits == 0)
        return "0";
    if (i + 1 < text.size() && IsExponentLetter(text[i])) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-')
            exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent += text[j];
            number += exponent;
        }
    }
    return number;
}

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (crt::Atoi(text) != ReferenceAtoi(text))
        std::abort();
    const double value = crt::Atof(text);
    if (!SameDouble(value, std::strtod(AcceptedNumber(text).c_str(), nullptr)))
        std::abort();

    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        char expected[512];
        std::snprintf(expected, sizeof expected, "%f", raw);
        const std::string formatted = crt::FormatF(raw);
        if (raw == raw && formatted != expected)
            std::abort();
    }
    return 0;
}
