#include "cli/cic_design.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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

std::string Db(double value) {
    return crt::FormatG(value, 4) + " dB";
}

std::string Hz(double value) {
    return crt::FormatShortest(value) + " Hz";
}

// "; 10 and 9 taps miss", or "; 1 tap misses", or nothing where no length is shorter.
std::string ShorterMiss(const Compensator& made) {
    std::string lengths;
    for (const auto& [taps, figures] : made.shorter)
        lengths += (lengths.empty() ? "" : " and ") + crt::FormatD(taps);
    if (lengths.empty())
        return "";
    return "; " + lengths +
           (made.shorter.size() > 1           ? " taps miss"
            : made.shorter.front().first == 1 ? " tap misses"
                                              : " taps miss");
}

// "CIC compensator, equiripple, 11 taps: the cascade meets the requirements", the CIC and its
// droop, the cascade measured, and the FIR's own decimation.
TapsDescription Describe(const Request& request, const CompensatorAsk& ask,
                         const Compensator& made) {
    const CompensatorFigures& f = made.figures;
    TapsDescription description;
    description.rate = ask.rate;
    description.title = "CIC compensator, equiripple, " +
                        crt::FormatD(static_cast<int>(made.taps.size())) +
                        " taps: the cascade meets the requirements" + ShorterMiss(made);
    description.notes.push_back("after a CIC of " + request.cic->text +
                                " (stages:factor:delay) at " + Hz(ask.rate * ask.cic.factor) +
                                ": droop " + Db(f.droopDb) + " at " + Hz(ask.passHz) +
                                " uncompensated");
    description.notes.push_back("cascade, measured: pass 0 to " + Hz(ask.passHz) + ": ripple " +
                                Db(f.rippleDb) + " (" + request.ripple->text + " dB asked); stop " +
                                crt::FormatShortest(ask.stopHz) + " to " + Hz(ask.rate / 2) +
                                ": attenuation " + Db(f.attenuationDb) + " (" +
                                request.atten->text + " dB asked)");
    if (ask.decimate > 1)
        description.notes.push_back(
            "the FIR decimates by " + crt::FormatD(ask.decimate) + ": " +
            crt::FormatG(static_cast<double>(made.taps.size()) / ask.decimate, 4) +
            " multiplications per input sample");
    return description;
}

} // namespace

std::optional<taplore::CicShape> ParseCic(std::string_view text) {
    std::vector<int> parts;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        const auto part = crt::StrictAtoi(text.substr(start, colon - start));
        if (!part)
            return std::nullopt;
        parts.push_back(*part);
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[0] < 1 || parts[1] < 2 ||
        (parts.size() == 3 && parts[2] < 1))
        return std::nullopt;
    return taplore::CicShape{parts[0], parts[1], parts.size() == 3 ? parts[2] : 1};
}

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
    design.description = Describe(request, ask, made);
    if (!request.quiet)
        ShowReport(console, design.description);
    design.SetTaps(made.taps);
    design.cic = ask;
    return kDone;
}
