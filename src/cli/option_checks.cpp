#include "cli/option_checks.h"

#include "cli/nyquist_design.h"
#include "cli/option_values.h"
#include "cli/polyphase_output.h"
#include "core/fixed/stimulus.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace {

using namespace option_values;

// The cutoffs' range. Half a rate below twice the smallest normal double is rounded, so it is
// named rather than printed.
std::string CutoffRange(double rate) {
    const double half = rate / 2;
    if (half * 2 != rate)
        return "from 0 to half of --rate";
    return "from 0 to " + crt::FormatShortest(half) + " (half of --rate)";
}

// Checked as the designer sees the cutoff, divided by the rate and doubled: from 0 to 1.
void CheckCutoff(const std::string& option, const Given<double>& cutoff, double rate) {
    if (!(cutoff.value >= 0 && NormalisedCutoff(cutoff.value, rate) <= 1))
        throw CLI::ValidationError(option, Refusal(CutoffRange(rate), cutoff.text));
}

bool IsGiven(const CLI::App& app, const std::string& name) {
    return app.get_option(name)->count() > 0;
}

// The first text given to the option, for a refusal to quote.
std::string FirstText(const CLI::App& app, const std::string& name) {
    const auto& results = app.get_option(name)->results();
    return results.empty() ? std::string() : results.front();
}

// Each of names must be left out: refused with the reason when given.
void Refuse(const CLI::App& app, std::initializer_list<const char*> names,
            const std::string& expected) {
    for (const char* name : names)
        if (IsGiven(app, name))
            throw CLI::ValidationError(name, Refusal(expected, FirstText(app, name)));
}

void Require(const CLI::App& app, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!IsGiven(app, name))
            throw CLI::RequiredError(name);
}

// A method that designs bands of any gain, for what needs one.
void RequireBandsMethod(const Request& request, const std::string& need) {
    if (!request.method->bands)
        throw CLI::ValidationError(
            "--method",
            Refusal(taplore::MethodNames([](const taplore::Method& m) { return m.bands; }) +
                        " with " + need,
                    std::string(request.method->name)));
}

// A sloped pass band: its line kept by a method that designs bands, and none of the designs
// whose pass band is flat by construction (an L-th band, a rate change, a CIC's compensator, a
// minimum-phase factor of the squared magnitude).
void CheckSlopedPass(const CLI::App& app, const Request& request) {
    const auto sloped = std::ranges::find_if(
        request.pass, [](const BandOption& pass) { return pass.band.relative; });
    if (sloped == request.pass.end())
        return;
    for (const char* flat : {"--nyquist", "--decimate", "--interpolate", "--cic"})
        if (IsGiven(app, flat))
            throw CLI::ValidationError(
                "--pass", Refusal("LO:HI, a flat band, with " + std::string(flat), sloped->text));
    if (request.minimumPhase)
        throw CLI::ValidationError(
            "--pass", Refusal("LO:HI, a flat band, with --phase minimum", sloped->text));
    RequireBandsMethod(request, "a sloped --pass");
}

// A design to requirements: pass and stop bands with their tolerances, or bands of any gain
// with a length, and the rate; none of the dialog's values.
void CheckRequirements(const CLI::App& app, const Request& request) {
    Refuse(app, {"--order", "--low", "--high", "--window", "--taps-from", "--taps-bits"},
           "left out of a design to requirements");
    if (!request.design.empty()) {
        if (ToStandardOutput(request.design))
            throw CLI::ValidationError("--design",
                                       Refusal("a file name, not standard input", request.design));
        Refuse(app, {"--nyquist"}, "left out with --design");
        // The document has the rest; what the options change in it is checked with it.
        if (!request.band.empty())
            Refuse(app, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
        return;
    }
    Require(app, {"--rate"});
    if (request.band.empty()) {
        Refuse(app, {"--kind"}, "given with --band");
        Require(app, {"--ripple", "--atten"});
        if (request.nyquist) {
            CheckNyquist(request);
            return;
        }
        // A method without a search designs the length it is given.
        if (!request.method->Searches())
            Require(app, {"--taps"});
        return;
    }
    Refuse(app, {"--pass", "--stop", "--ripple", "--atten", "--nyquist"}, "left out with --band");
    if (request.minimumPhase)
        throw CLI::ValidationError("--phase",
                                   Refusal("linear with --band, whose bands have no tolerances "
                                           "for a minimum-phase design to keep",
                                           "minimum"));
    Require(app, {"--taps"});
    RequireBandsMethod(request, "--band");
}

// A pulse: its span and samples, and the one shaping value its shape takes; nothing of the
// other designs.
void CheckPulse(const CLI::App& app, const Request& request) {
    Refuse(app,
           {"--order", "--low", "--high", "--window", "--taps-from", "--taps-bits", "--pass",
            "--stop", "--band", "--design", "--ripple", "--atten", "--taps", "--method", "--kind",
            "--phase", "--nyquist"},
           "left out with --pulse");
    Require(app, {"--span", "--sps"});
    const bool bt = request.pulse->bt;
    Refuse(app, {bt ? "--rolloff" : "--bt"}, "given with --pulse " + ShapesShapedBy(!bt));
    Require(app, {bt ? "--bt" : "--rolloff"});
}

// Without --taps-from the four design values are required, in the order the help lists them;
// with it, a design's order and cutoffs have nothing to design.
void CheckTapsSource(const CLI::App& app, const Request& request) {
    const bool readBack = !request.tapsFrom.empty();
    for (const char* name : {"--order", "--rate", "--low", "--high"}) {
        const bool given = IsGiven(app, name);
        if (!readBack && !given)
            throw CLI::RequiredError(name);
        if (readBack && given && std::string_view(name) != "--rate")
            throw CLI::ValidationError(name, "must be left out with --taps-from, which reads "
                                             "the taps instead of designing them");
    }
    if (!readBack && request.tapsBits)
        throw CLI::ValidationError("--taps-bits",
                                   Refusal("given with --taps-from, which reads the integers",
                                           FirstText(app, "--taps-bits")));
}

// Each of --bits and --block only with a format that takes it; the views instead of --response.
void CheckFormatOptions(const Request& request) {
    const taplore::FormatChoice& choice = request.format;
    if (request.bits && !WidthChosen(*choice.format) && !request.simulate)
        throw CLI::ValidationError("--bits",
                                   Refusal("given with a format whose width is chosen (" +
                                               Listed(FormatsWhere(WidthChosen), ", ") + ")",
                                           request.bits->text));
    if (request.bits && choice.width)
        throw CLI::ValidationError(
            "--bits", Refusal("left out when --format names the width", request.bits->text));
    if (request.block && !TakesBlock(*choice.format))
        throw CLI::ValidationError(
            "--block",
            Refusal("given with a CMSIS format (" + Listed(FormatsWhere(TakesBlock), ", ") + ")",
                    request.block->text));
    if (request.views.size() > 1 &&
        std::ranges::find(request.views, taplore::View::zeros) != request.views.end())
        throw CLI::ValidationError("--view", Refusal("given alone for the zeros, which are a list "
                                                     "and a z-plane of their own",
                                                     "zeros"));
    if (request.response && !request.views.empty())
        throw CLI::ValidationError("--response", "must be left out with --view, which "
                                                 "chooses the views written instead");
}

// --points only beside the views it sets the grid of, and only as many as the free memory
// holds, told before any work.
void CheckViewPoints(const CLI::App& app, const Request& request) {
    if (!IsGiven(app, "--points"))
        return;
    if (request.views.empty())
        throw CLI::ValidationError("--points", Refusal("given with --view", request.points.text));
    if (request.ZerosAsked())
        throw CLI::ValidationError(
            "--points", Refusal("given with a view of the response", request.points.text));
    const int most = taplore::MostViewPoints();
    if (request.points.value > most)
        throw CLI::ValidationError(
            "--points",
            Refusal("at most " + crt::FormatD(most) + " for the free memory", request.points.text));
}

// Whether two names reach one file: the same file where both exist, the same path where not.
bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(fs::u8path(a), fs::u8path(b), error))
        return true;
    const fs::path first = fs::weakly_canonical(fs::absolute(fs::u8path(a), error), error);
    const fs::path second = fs::weakly_canonical(fs::absolute(fs::u8path(b), error), error);
    return !error && first == second;
}

// The document written is a file of its own, besides -o's and --plot's, and needs a design to
// requirements to describe.
void CheckSaveDesign(const CLI::App& app, const Request& request) {
    if (!request.ToRequirements())
        Refuse(app, {"--save-design"},
               "given with a design to requirements (--pass and --stop, "
               "--band or --design)");
    if (request.saveDesign.empty())
        Refuse(app, {"--note"}, "given with --save-design");
    if (request.saveDesign.empty())
        return;
    if (ToStandardOutput(request.saveDesign))
        throw CLI::ValidationError("--save-design",
                                   Refusal("a file name, not standard output", request.saveDesign));
    for (const std::string* other : {&request.output, &request.plot})
        if (!ToStandardOutput(*other) && SameFile(request.saveDesign, *other))
            throw CLI::ValidationError(
                "--save-design",
                Refusal("another file than -o's and --plot's", request.saveDesign));
}

// The outputs: the text only where asked beside --plot, and never where the image goes.
void CheckOutputs(const CLI::App& app, Request& request) {
    if (request.response && IsGiven(app, "--format") && !request.Width())
        throw CLI::ValidationError("--response",
                                   Refusal("alone or with a format that has a width (such "
                                           "as q15 or coe) as --format",
                                           request.formatText));
    request.textAsked = request.plot.empty() || IsGiven(app, "--format") ||
                        IsGiven(app, "--response") || IsGiven(app, "--output");
    if (request.textAsked && ToStandardOutput(request.output) && request.plot == "-")
        throw CLI::ValidationError(
            "--plot", Refusal("a file when the text goes to standard output", request.plot));
    if (request.textAsked && !ToStandardOutput(request.output) && !ToStandardOutput(request.plot) &&
        SameFile(request.output, request.plot))
        throw CLI::ValidationError("--plot", Refusal("another file than -o's", request.plot));
}

// The dialog's design, taps read back or a design to requirements: no pulse options.
void CheckDesign(const CLI::App& app, const Request& request) {
    Refuse(app, {"--span", "--sps", "--rolloff", "--bt", "--gain"}, "given with --pulse");
    if (request.ToRequirements()) {
        CheckRequirements(app, request);
        return;
    }
    Refuse(app, {"--ripple", "--atten", "--taps", "--method", "--kind", "--phase", "--nyquist"},
           "given with --pass and --stop, or --band");
    if (!request.tapsFrom.empty())
        Refuse(app, {"--window"}, "left out with --taps-from");
    CheckTapsSource(app, request);
    if (request.tapsFrom.empty()) {
        CheckCutoff("--low", *request.low, request.rate->value);
        CheckCutoff("--high", *request.high, request.rate->value);
    }
}

// The simulation's options only with --simulate, which writes its output instead of the taps,
// a length only for a generated stimulus, and no longer a one than the free memory holds.
void CheckSimulation(const CLI::App& app, const Request& request) {
    if (!request.simulate && request.format.format->takesArithmetic) {
        Refuse(app, {"--samples", "--simulate-output"}, "given with --simulate");
        return;
    }
    if (!request.simulate) {
        Refuse(app,
               {"--samples", "--input-bits", "--output-bits", "--acc-bits", "--overflow",
                "--rounding", "--simulate-output"},
               "given with --simulate");
        return;
    }
    Refuse(app, {"--format", "--response", "--view", "--plot", "--save-design"},
           "left out with --simulate, which writes the filter's output");
    if (!taplore::ParseSignal(*request.simulate))
        Refuse(app, {"--samples"}, "given with a generated stimulus (impulse, step, chirp, noise)");
    const std::int64_t most = taplore::MostSimulatedSamples();
    if (request.samples && request.samples->value > most)
        throw CLI::ValidationError(
            "--samples", Refusal("at most " + std::to_string(most) + " for the free memory",
                                 request.samples->text));
    if (ToStandardOutput(request.simulateOutput) && !request.simulateOutput.empty())
        throw CLI::ValidationError("--simulate-output", Refusal("a file name, not standard output",
                                                                request.simulateOutput));
    const int width = request.inputBits ? request.inputBits->value.bits : 16;
    if (!request.simulateOutput.empty() && width != 8 && width != 16 && width != 24 && width != 32)
        throw CLI::ValidationError(
            "--input-bits",
            Refusal("8, 16, 24 or 32 bits for --simulate-output's WAV", request.inputBits->text));
}

// A search over the roundings needs the tolerances it keeps: a linear-phase design to them.
void RequireTolerancesToRound(const Request& request, const std::string& option) {
    if (!request.ToRequirements() || !request.band.empty() || request.minimumPhase)
        throw CLI::ValidationError(option, "must be given with a linear-phase design to --pass and "
                                           "--stop tolerances, or to a document of them");
}

// The fewest bits of a design to pass and stop tolerances, written instead of anything else.
void CheckFewestBits(const CLI::App& app, const Request& request) {
    if (request.searchRoundings) {
        RequireTolerancesToRound(request, "--search-roundings");
        Refuse(app, {"--fewest-bits", "--decimate", "--interpolate", "--cic"},
               "left out with --search-roundings, which rounds one filter's taps to the "
               "requirements");
    }
    if (!request.fewestBits)
        return;
    RequireTolerancesToRound(request, "--fewest-bits");
    Refuse(app,
           {"--simulate", "--format", "--bits", "--response", "--view", "--plot", "--save-design"},
           "left out with --fewest-bits, which writes the taps it finds");
}

const char* RateChangeOption(const Request& request) {
    return request.decimate ? "--decimate" : "--interpolate";
}

// A rate change designs one pass band, its stop band following from the rate, with a method
// that finds the fewest taps; checked before the other designs' options, whose words would
// not fit. Without one, none of its options.
void CheckRateChangeOptions(const CLI::App& app, const Request& request) {
    if (!request.ChangesRate()) {
        Refuse(app, {"--alias", "--stages"}, "given with --decimate or --interpolate");
        return;
    }
    const std::string change = RateChangeOption(request);
    if (request.decimate)
        Refuse(app, {"--interpolate"}, "left out with --decimate");
    Refuse(app,
           {"--pulse", "--stop", "--band", "--taps", "--kind", "--phase", "--design",
            "--save-design", "--nyquist", "--simulate", "--fewest-bits"},
           "left out with " + change);
    Require(app, {"--pass"});
    if (!request.method->Searches())
        throw CLI::ValidationError(
            "--method",
            Refusal(taplore::MethodNames([](const taplore::Method& m) { return m.Searches(); }) +
                        " with " + change,
                    std::string(request.method->name)));
}

// The rate change's pass band: once, from 0 to below half the low rate.
void CheckRateChange(const Request& request) {
    if (!request.ChangesRate())
        return;
    const std::string change = RateChangeOption(request);
    if (request.pass.size() > 1)
        throw CLI::ValidationError("--pass",
                                   Refusal("given once with " + change, request.pass[1].text));
    const int factor = (request.decimate ? request.decimate : request.interpolate)->value;
    const taplore::Band& pass = request.pass.front().band;
    const double edge = request.rate->value / factor / 2;
    if (pass.lowHz != 0 || !(pass.highHz < edge))
        throw CLI::ValidationError(
            "--pass", Refusal("0:FP with FP below " + crt::FormatShortest(edge) + " Hz (half of " +
                                  "--rate over " + change + " " + crt::FormatD(factor) + ")",
                              request.pass.front().text));
}

// Stages of their own: the taps a file each where the format holds one filter.
void CheckStageOutputs(const Request& request) {
    if (!request.stages || request.stages->value.kind == taplore::StagesAsk::Kind::one)
        return;
    // A format that holds a plan writes it to standard output as well.
    if (request.TapsAsked() && ToStandardOutput(request.output) &&
        !request.format.format->writeCascade)
        throw CLI::ValidationError("--output", "must name a file with --stages " +
                                                   request.stages->text + " and --format " +
                                                   std::string(request.format.format->name) +
                                                   ", which writes a file a stage");
}

// A CIC compensator: one pass band from 0 and one stop band to half the rate (or where the
// FIR's own decimation folds), equiripple, one stage.
void CheckCic(const CLI::App& app, const Request& request) {
    if (!request.cic)
        return;
    Refuse(app,
           {"--interpolate", "--stages", "--alias", "--nyquist", "--taps", "--band", "--method",
            "--kind", "--phase", "--design", "--save-design", "--simulate", "--fewest-bits",
            "--pulse"},
           "left out with --cic");
    Require(app, {"--rate", "--pass", "--ripple", "--atten"});
    if (request.pass.size() > 1 || request.pass.front().band.lowHz != 0)
        throw CLI::ValidationError("--pass",
                                   Refusal("one band 0:FP with --cic", request.pass.back().text));
    if (request.decimate)
        return;
    Require(app, {"--stop"});
    const double half = request.rate->value / 2;
    if (request.stop.size() > 1 || request.stop.front().band.highHz != half)
        throw CLI::ValidationError("--stop", Refusal("one band LO:" + crt::FormatShortest(half) +
                                                         " (to half the rate) with --cic",
                                                     request.stop.back().text));
}

} // namespace

void CheckTogether(const CLI::App& app, Request& request) {
    request.methodGiven = IsGiven(app, "--method");
    request.phaseGiven = IsGiven(app, "--phase");
    CheckSlopedPass(app, request);
    CheckCic(app, request);
    CheckRateChangeOptions(app, request);
    if (request.pulse)
        CheckPulse(app, request);
    else
        CheckDesign(app, request);
    CheckRateChange(request);
    CheckSaveDesign(app, request);
    CheckSimulation(app, request);
    CheckFewestBits(app, request);
    CheckFormatOptions(request);
    CheckRateChangeFormat(request);
    CheckViewPoints(app, request);
    CheckOutputs(app, request);
    CheckStageOutputs(request);
}
