#include "core/memory.h"

#include <cstdio>
#include <cstring>

namespace mem {
namespace {

std::optional<std::uint64_t> g_freeBytesForTesting;

// MemAvailable from /proc/meminfo: what can be given out without swapping.
std::uint64_t ReadMemAvailable() {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file)
        return std::numeric_limits<std::uint64_t>::max();
    char line[256];
    unsigned long long kib = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, file))
        found = std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1;
    std::fclose(file);
    return found ? kib * 1024 : std::numeric_limits<std::uint64_t>::max();
}

} // namespace

std::uint64_t FreeBytes() {
    return g_freeBytesForTesting ? *g_freeBytesForTesting : ReadMemAvailable();
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
