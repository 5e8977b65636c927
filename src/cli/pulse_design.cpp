#include "cli/pulse_design.h"

#include "core/formats/pulse_report.h"

namespace {

using namespace taplore;

// The options as given, for the refusal to quote: "--pulse rrc --span 8 --sps 4 --rolloff 0.35".
std::string Asked(const Request& request) {
    const Given<double>& shaping = request.pulse->bt ? *request.bt : *request.rolloff;
    return "--pulse " + std::string(request.pulse->name) + " --span " + request.span->text +
           " --sps " + request.samplesPerSymbol->text +
           (request.pulse->bt ? " --bt " : " --rolloff ") + shaping.text;
}

} // namespace

int DesignPulseShape(Console& console, const Request& request, Design& design) {
    console.progress.Enter("designing");
    const PulseRequest pulse = request.Pulse();
    const PulseDesign outcome = DesignPulse(pulse);
    if (outcome.status == DesignStatus::refused)
        return Report(console, kRefused, Asked(request) + ": " + outcome.message);
    // Without --rate the frequencies count symbol rates.
    design.description = DescribePulse(pulse, outcome.taps,
                                       request.rate ? request.rate->value : pulse.samplesPerSymbol);
    if (!request.quiet)
        ShowReport(console, design.description);
    design.SetTaps(outcome.taps);
    return kDone;
}
