#include "core/formats/pulse_report.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <numeric>

namespace taplore {

TapsDescription DescribePulse(const PulseRequest& pulse, const std::vector<double>& taps,
                              double rate) {
    const PulseShapeInfo& shape = InfoOf(pulse.shape);
    TapsDescription description;
    description.title =
        std::string(shape.title) + (shape.bt ? ", BT " : ", roll-off ") +
        crt::FormatShortest(pulse.shaping) + ", " + crt::FormatD(pulse.spanSymbols) +
        " symbols of " + crt::FormatD(pulse.samplesPerSymbol) + " samples, " +
        crt::FormatD(static_cast<int>(taps.size())) + " taps, " +
        std::string(InfoOf(pulse.gain.value_or(DefaultPulseGain(pulse.shape))).name);
    if (!taps.empty()) {
        const double sum = std::accumulate(taps.begin(), taps.end(), 0.0);
        const double energy = std::inner_product(taps.begin(), taps.end(), taps.begin(), 0.0);
        const double peak = *std::ranges::max_element(taps);
        description.notes.push_back("DC gain " + crt::FormatG(sum, 6) + ", energy " +
                                    crt::FormatG(energy, 6) + ", peak tap " +
                                    crt::FormatG(peak, 6));
    }
    description.rate = rate;
    return description;
}

} // namespace taplore
