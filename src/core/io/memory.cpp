#include "core/io/memory.h"

#include "core/io/platform.h"

namespace mem {
namespace {

std::optional<std::uint64_t> g_freeBytesForTesting;

} // namespace

std::uint64_t FreeBytes() {
    return g_freeBytesForTesting ? *g_freeBytesForTesting : platform::AvailableMemoryBytes();
}

void SetFreeBytesForTesting(std::optional<std::uint64_t> bytes) {
    g_freeBytesForTesting = bytes;
}

bool Fits(std::int64_t count, std::uint64_t elementSize) {
    if (count <= 0)
        return false;
    const auto n = static_cast<std::uint64_t>(count);
    if (n > std::numeric_limits<std::size_t>::max() / elementSize)
        return false;
    const std::uint64_t bytes = n * elementSize;
    return bytes < kCheckedBytes || bytes <= FreeBytes();
}

} // namespace mem
