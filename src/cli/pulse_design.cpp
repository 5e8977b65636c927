#include "cli/pulse_design.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using namespace taplore;

std::string GainName(PulseGain gain) {
    for (const PulseGainInfo& info : PulseGains())
        if (info.gain == gain)
            return std::string(info.name);
    return {};
}

// The options as given, for the refusal to quote: "--pulse rrc --span 8 --sps 4 --rolloff 0.35".
std::string Asked(const Request& request) {
    const Given<double>& shaping = request.pulse->bt ? *request.bt : *request.rolloff;
    return "--pulse " + std::string(request.pulse->name) + " --span " + request.span->text +
           " --sps " + request.samplesPerSymbol->text +
           (request.pulse->bt ? " --bt " : " --rolloff ") + shaping.text;
}

// "root raised cosine, roll-off 0.35, 8 symbols of 4 samples, 33 taps, unit-energy", and the
// figures each gain would make 1, so that the scaling can be seen.
TapsDescription Describe(const Request& request, const PulseRequest& pulse,
                         const std::vector<double>& taps) {
    const double shaping = pulse.shaping;
    TapsDescription description;
    description.title = std::string(request.pulse->title) +
                        (request.pulse->bt ? ", BT " : ", roll-off ") +
                        crt::FormatShortest(shaping) + ", " + crt::FormatD(pulse.spanSymbols) +
                        " symbols of " + crt::FormatD(pulse.samplesPerSymbol) + " samples, " +
                        crt::FormatD(static_cast<int>(taps.size())) + " taps, " +
                        GainName(pulse.gain.value_or(DefaultPulseGain(pulse.shape)));
    const double sum = std::accumulate(taps.begin(), taps.end(), 0.0);
    const double energy = std::inner_product(taps.begin(), taps.end(), taps.begin(), 0.0);
    const double peak = *std::ranges::max_element(taps);
    description.notes.push_back("DC gain " + crt::FormatG(sum, 6) + ", energy " +
                                crt::FormatG(energy, 6) + ", peak tap " + crt::FormatG(peak, 6));
    // Without --rate the frequencies count symbol rates.
    description.rate = request.rate ? request.rate->value : pulse.samplesPerSymbol;
    return description;
}

} // namespace

int DesignPulseShape(Console& console, const Request& request, Design& design) {
    console.progress.Enter("designing");
    const PulseRequest pulse = request.Pulse();
    const PulseDesign outcome = DesignPulse(pulse);
    if (outcome.status == DesignStatus::refused)
        return Report(console, kRefused, Asked(request) + ": " + outcome.message);
    design.description = Describe(request, pulse, outcome.taps);
    if (!request.quiet)
        ShowReport(console, design.description);
    design.SetTaps(outcome.taps);
    return kDone;
}
