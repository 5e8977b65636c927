#pragma once
// Allocation that never over-promises: an array larger than the memory the machine
// has free fails here, instead of the kernel killing the process when pages are touched.

#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <optional>

namespace mem {

// Arrays below this size skip the free-memory check: reading the figure costs more than
// they do, and the allocator alone answers for them.
constexpr std::uint64_t kCheckedBytes = std::uint64_t{1} << 20;

// Bytes the machine can still provide without swapping, or the figure a test has set.
std::uint64_t FreeBytes();

// Lets tests pretend the machine has only this much free memory; nullopt restores the real figure.
void SetFreeBytesForTesting(std::optional<std::uint64_t> bytes);

// Whether an array of count elements of elementSize bytes may be allocated now.
bool Fits(std::int64_t count, std::uint64_t elementSize);

// A zero-filled array of count values, or null when count is not positive, its byte size
// does not fit in memory, or the allocator refuses.
template <typename T> std::unique_ptr<T[]> AllocateArray(std::int64_t count) {
    if (!Fits(count, sizeof(T)))
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<std::size_t>(count)]());
}

// The same array left unfilled, for callers that write every element themselves.
template <typename T> std::unique_ptr<T[]> AllocateArrayForOverwrite(std::int64_t count) {
    if (!Fits(count, sizeof(T)))
        return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<std::size_t>(count)]);
}

} // namespace mem
