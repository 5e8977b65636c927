#pragma once
// The polyphase form of a rate change: taps h split into M phases, phase p holding h[p],
// h[p + M], h[p + 2M], ... A decimator sums each phase over its own branch of the input; an
// interpolator computes output p of each input with phase p alone.

#include <span>
#include <vector>

namespace taplore {

// The factor's phases of taps; the first (taps.size() % factor) phases are one tap longer.
std::vector<std::vector<double>> PolyphaseSplit(std::span<const double> taps, int factor);

} // namespace taplore
