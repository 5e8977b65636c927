#pragma once
// Taps as their bit patterns, so that a comparison tells -0 from 0 and fails on the last bit.

#include <bit>
#include <cstdint>
#include <vector>

inline std::vector<std::uint64_t> Bits(const std::vector<double>& taps) {
    std::vector<std::uint64_t> bits;
    for (const double tap : taps)
        bits.push_back(std::bit_cast<std::uint64_t>(tap));
    return bits;
}
