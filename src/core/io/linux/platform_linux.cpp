#include "core/io/platform.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <thread>

namespace platform {

// MemAvailable from /proc/meminfo: what can be given out without swapping.
std::uint64_t AvailableMemoryBytes() {
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

unsigned HardwareThreads() {
    return std::max(1u, std::thread::hardware_concurrency());
}

// Linux hands a program its arguments as the bytes typed, which are UTF-8 on any current
// system.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

// Linux never translates line ends.
void BinaryStandardOutput() {}

} // namespace platform
