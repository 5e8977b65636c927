#include "cli/nyquist_design.h"

#include "cli/option_values.h"
#include "core/design/nyquist.h"

#include <CLI/CLI.hpp>

#include <cmath>

namespace {

using namespace option_values;

// "--nyquist 2 and --pass 0:1000"
std::string Asked(const Request& request) {
    return "--nyquist " + request.nyquist->text + " and --pass " + request.pass.front().text;
}

// Equiripple for a half-band, the Kaiser window above; --method where given.
const taplore::Method& NyquistMethod(const Request& request) {
    if (request.methodGiven || request.nyquist->value == 2)
        return *request.method;
    return *taplore::FindMethod("kaiser");
}

// The names of the methods that keep an L-th band's zeros.
std::string NyquistMethods(int band) {
    std::vector<std::string_view> names;
    for (const taplore::Method& method : taplore::Methods())
        if (taplore::DesignsNyquist(method, band))
            names.push_back(method.name);
    return Listed(names);
}

void Refuse(const std::string& option, const std::string& expected, const std::string& text) {
    throw CLI::ValidationError(option, Refusal(expected, text));
}

void CheckPassBand(const Request& request) {
    if (request.pass.empty())
        throw CLI::RequiredError("--pass");
    if (request.pass.size() != 1 || request.pass.front().band.lowHz != 0.0)
        Refuse("--pass", "one pass band from 0 with --nyquist", request.pass.back().text);
    const double rate = request.rate->value;
    const int band = request.nyquist->value;
    // Checked as the design computes its stop edge, which must lie above the pass band.
    if (!(taplore::NyquistStopEdge(rate, request.pass.front().band.highHz, band) >
          request.pass.front().band.highHz))
        Refuse("--pass",
               "0:FP with FP below " + crt::FormatShortest(rate / (2.0 * band)) +
                   " Hz (--rate / (2L)) with --nyquist " + request.nyquist->text,
               request.pass.front().text);
}

// A --stop may say where the stop band is, to the ninth digit of the rate, and nothing else.
void CheckStopBand(const Request& request) {
    if (request.stop.empty())
        return;
    const double rate = request.rate->value;
    const double edge =
        taplore::NyquistStopEdge(rate, request.pass.front().band.highHz, request.nyquist->value);
    const taplore::Band& stop = request.stop.front().band;
    const double slack = 1e-9 * rate;
    if (request.stop.size() > 1 || std::fabs(stop.lowHz - edge) > slack ||
        std::fabs(stop.highHz - rate / 2) > slack)
        Refuse("--stop",
               crt::FormatShortest(edge) + ":" + crt::FormatShortest(rate / 2) + " with " +
                   Asked(request),
               request.stop.back().text);
}

} // namespace

void CheckNyquist(const Request& request) {
    if (request.taps)
        Refuse("--taps", "left out with --nyquist, which designs the fewest taps",
               request.taps->text);
    if (request.minimumPhase)
        Refuse("--phase", "linear with --nyquist: minimum-phase taps have no L-th band's zeros",
               "minimum");
    if (!request.saveDesign.empty())
        Refuse("--save-design", "left out with --nyquist: a design document holds no L-th band",
               request.saveDesign);
    CheckPassBand(request);
    CheckStopBand(request);
    const int band = request.nyquist->value;
    if (!taplore::DesignsNyquist(NyquistMethod(request), band))
        Refuse("--method", NyquistMethods(band) + " with --nyquist " + request.nyquist->text,
               std::string(request.method->name));
}

taplore::RequirementsDesign DesignNyquistBand(const Request& request,
                                              const taplore::Requirements& requirements,
                                              const Progress& progress) {
    const int band = request.nyquist->value;
    const taplore::Requirements nyquist =
        taplore::NyquistRequirements(requirements.rate, request.pass.front().band.highHz, band,
                                     requirements.rippleDb, requirements.attenuationDb);
    return taplore::DesignFewestNyquistTaps(nyquist, band, NyquistMethod(request), progress);
}
