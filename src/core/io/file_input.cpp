#include "core/io/file_input.h"

#include "core/io/memory.h"

#include <new>

void AppendWithinMemory(std::string& text, const char* bytes, std::size_t count) {
    const std::size_t size = text.size() + count;
    // The string doubles its room as it grows: twice the size is what it may ask for.
    if (size > text.capacity() && !mem::Fits(static_cast<std::int64_t>(2 * size), 1))
        throw std::bad_alloc();
    text.append(bytes, count);
}
