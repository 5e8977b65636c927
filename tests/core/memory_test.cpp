#include "core/io/memory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// MemAvailable as the kernel states it, in KiB, or 0 where it is not stated.
std::uint64_t MemAvailableKiB() {
    std::ifstream meminfo("/proc/meminfo");
    for (std::string name; meminfo >> name;) {
        std::uint64_t kib = 0;
        std::string unit;
        meminfo >> kib >> unit;
        if (name == "MemAvailable:" && unit == "kB")
            return kib;
    }
    return 0;
}

// /proc/meminfo's "kB" are KiB: reading them as 1000 bytes would refuse 2.4% of what fits.
TEST(MemoryGuard, FreeMemoryIsMemAvailableInKibibytes) {
    const std::uint64_t kib = MemAvailableKiB();
    if (kib == 0)
        GTEST_SKIP() << "no MemAvailable in /proc/meminfo";
    const double ratio = static_cast<double>(mem::FreeBytes()) / static_cast<double>(kib);
    EXPECT_NEAR(ratio, 1024.0, 5.0) << "the figure moves a little between two readings";
}

} // namespace
