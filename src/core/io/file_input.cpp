#include "core/io/file_input.h"

#include "core/io/memory.h"

#include <cstring>
#include <new>
#include <string_view>

void AppendWithinMemory(std::string& text, const char* bytes, std::size_t count) {
    const std::size_t size = text.size() + count;
    // The string doubles its room as it grows: twice the size is what it may ask for.
    if (size > text.capacity() && !mem::Fits(static_cast<std::int64_t>(2 * size), 1))
        throw std::bad_alloc();
    text.append(bytes, count);
}

std::string ReadWholeFile(const std::string& path) {
    return ReadWholeFile(path, InputBound{});
}

void AppendInput(std::string& text, const char* bytes, std::size_t count, const InputBound& bound) {
    if (static_cast<std::int64_t>(text.size() + count) > bound.bytes)
        throw InputRefused("more than " + std::to_string(bound.bytes) + " bytes, " + bound.what);
    if (const void* nul = std::memchr(bytes, '\0', count))
        throw InputRefused(
            "a NUL byte at byte " +
            std::to_string(text.size() +
                           static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) + 1) +
            ": taps are read from text, and this is none");
    AppendWithinMemory(text, bytes, count);
}
