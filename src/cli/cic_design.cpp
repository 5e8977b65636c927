#include "cli/cic_design.h"

#include "core/formats/cic_report.h"

namespace {

using namespace taplore;

// The ask of the options: the FIR at --rate, the CIC's output rate; its stop band from where
// the FIR's own decimation folds onto the pass band, or from --stop.
CompensatorAsk AskOf(const Request& request) {
    CompensatorAsk ask;
    ask.cic = request.cic->value;
    ask.rate = request.rate->value;
    ask.decimate = request.decimate ? request.decimate->value : 1;
    ask.passHz = request.pass.front().band.highHz;
    ask.stopHz = request.decimate ? FoldingStopHz(ask.rate, ask.decimate, ask.passHz)
                                  : request.stop.front().band.lowHz;
    ask.rippleDb = request.ripple->value;
    ask.attenuationDb = request.atten->value;
    return ask;
}

} // namespace

int DesignCicCompensator(Console& console, const Request& request, Design& design) {
    const CompensatorAsk ask = AskOf(request);
    if (const auto problem = CompensatorProblem(ask))
        return Report(console, kRefused, "--cic " + request.cic->text + ": " + *problem);
    console.progress.Enter("designing");
    const Compensator made = DesignCompensator(ask);
    if (made.taps.empty())
        return Report(console, kFailed,
                      "Designing to the requirements failed: no length up to the longest keeps "
                      "the cascade's ripple and attenuation");
    design.description = DescribeCompensator(
        ask, made, {request.cic->text, request.ripple->text, request.atten->text});
    if (!request.quiet)
        ShowReport(console, design.description);
    design.SetTaps(made.taps);
    design.cic = ask;
    return kDone;
}
