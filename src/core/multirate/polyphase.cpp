#include "core/multirate/polyphase.h"

namespace taplore {

std::vector<std::vector<double>> PolyphaseSplit(std::span<const double> taps, int factor) {
    std::vector<std::vector<double>> phases(static_cast<std::size_t>(factor));
    for (std::size_t n = 0; n < taps.size(); ++n)
        phases[n % static_cast<std::size_t>(factor)].push_back(taps[n]);
    return phases;
}

} // namespace taplore
