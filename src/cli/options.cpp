#include "cli/options.h"

#include "cli/option_checks.h"
#include "cli/option_values.h"

#include "core/multirate/cic.h"
#include "core/version.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using namespace option_values;
using taplore::ExportFormat;

// Reads one text of an option into the request: "" when read, else the refusal's words.
using Reader = std::function<std::string(const std::string&)>;

// A file name, which cannot be empty, into path.
Reader FileNameInto(std::string& path) {
    return [&path](const std::string& text) {
        return Kept(If<std::string>(text, [](const std::string& t) { return !t.empty(); }),
                    Refusal("a file name", text),
                    [&path](const std::string& name) { path = name; });
    };
}

// An option that takes a value, with the name of the value in the help and an example of it;
// read reads each text it is given.
CLI::Option* AddValue(CLI::App& app, OptionExamples& examples, const std::string& names,
                      const std::string& help, const std::string& valueName,
                      const std::string& example, Reader read) {
    CLI::Option* option = app.add_option(names, help)->type_name(valueName)->check(read);
    examples.emplace(option->get_name(), example);
    return option;
}

// A value that may be given again and again, each text read in order, as many after one
// name as extra allows.
CLI::Option* AddValues(CLI::App& app, OptionExamples& examples, const std::string& name,
                       const std::string& help, const std::string& valueName,
                       const std::string& example, Reader read, bool extra = false) {
    // The texts are read by the check, one by one, as the option's own values.
    CLI::Option* option = app.add_option_function<std::vector<std::string>>(
                                 name, [](const std::vector<std::string>&) {}, help)
                              ->type_name(valueName)
                              ->check(read)
                              ->allow_extra_args(extra)
                              ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    examples.emplace(option->get_name(), example);
    return option;
}

Reader NumberInto(std::optional<Given<double>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(crt::StrictAtof(text), Refusal("a number", text), text, slot);
    };
}

Reader PositiveNumberInto(std::optional<Given<double>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(
            If<double>(crt::StrictAtof(text), [](double x) { return x > 0 && std::isfinite(x); }),
            Refusal("a positive, finite number", text), text, slot);
    };
}

Reader WholeNumberInto(std::optional<Given<int>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 1; }),
                      Refusal("a whole number from 1 to 2147483647", text), text, slot);
    };
}

// The dialog's four values and its window, required unless the taps are read from a file (where
// a rate may still be given, for the frequency axes) or designed to requirements (which take
// the rate alone of them).
void DeclareDesignOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValue(app, examples, "--order", "Filter order; the taps are the order made odd", "N", "511",
             WholeNumberInto(request.order));
    AddValue(app, examples, "--rate",
             "Sampling rate in Hz (with --taps-from: for the frequency axes)", "HZ", "8000",
             PositiveNumberInto(request.rate));
    AddValue(app, examples, "--low", "Low cutoff in Hz, 0 to rate/2", "HZ", "400",
             NumberInto(request.low));
    AddValue(app, examples, "--high", "High cutoff in Hz, 0 to rate/2", "HZ", "2400",
             NumberInto(request.high));
    AddValue(app, examples, "--window",
             "The window of the dialog's design: " + WindowNames() +
                 "; hamming, the default, is the dialog's own",
             "NAME", "blackman", [&request](const std::string& text) {
                 return Kept(ParseWindow(text), Refusal("a window: " + WindowNames(), text),
                             [&request](const WindowChoice& w) { request.window = w; });
             });
    AddValue(app, examples, "--taps-from",
             "Read the taps from FILE (- is standard input) instead of designing them: one "
             "number a line, Taplore's CSV or its JSON",
             "FILE", "taps.txt", FileNameInto(request.tapsFrom));
    AddValue(app, examples, "--taps-bits",
             "With --taps-from: the file holds fixed-point integers of B bits, F of them "
             "fraction bits (B - 1 when left out), each read as q / 2^F",
             "B[.F]", "16.15", [&request](const std::string& text) {
                 return Kept(ParseQFormat(text), WidthRefusal(text),
                             [&request](const QFormat& q) { request.tapsBits = q; });
             });
}

// A band option's texts, each read as a band into bands or refused by refusal.
Reader BandsInto(std::vector<BandOption>& bands, const std::string& option,
                 std::optional<taplore::Band> (*read)(const std::string&),
                 std::string (*refusal)(const std::string&)) {
    return [&bands, option, read, refusal](const std::string& text) {
        return Kept(read(text), refusal(text), [&](const taplore::Band& band) {
            bands.push_back({option, text, band});
        });
    };
}

std::string EdgesRefusal(const std::string& text) {
    return Refusal("LO:HI in Hz, as in 0:1000", text);
}

// A pass band's text with a third field is a sloped one, refused in its own words.
std::string PassRefusal(const std::string& text) {
    if (std::count(text.begin(), text.end(), ':') != 2)
        return EdgesRefusal(text);
    return Refusal("LO:HI:G1..G2, edges in Hz and the gains at them, as in 0:8000:1..2", text);
}

void DeclareRequirementOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValues(app, examples, "--pass",
              "A pass band in Hz, repeatable: the fewest taps that keep --ripple there and "
              "--atten in the stop bands; G1..G2 asks a gain from G1 at LO linearly to G2 at HI, "
              "the ripple relative to it (equiripple and least squares)",
              "LO:HI[:G1..G2]", "0:1000", BandsInto(request.pass, "--pass", PassBand, PassRefusal));
    AddValues(app, examples, "--stop", "A stop band in Hz, repeatable", "LO:HI", "1500:4000",
              BandsInto(request.stop, "--stop", StopBand, EdgesRefusal));
    AddValue(app, examples, "--ripple", "Pass-band ripple, peak to peak, in dB", "DB", "0.1",
             NumberInto(request.ripple));
    AddValue(app, examples, "--atten", "Stop-band attenuation below the pass band, in dB", "DB",
             "60", NumberInto(request.atten));
    AddValue(app, examples, "--method",
             "How to design to --pass and --stop: " + taplore::MethodNames() +
                 " (equiripple unless given; a window needs --taps)",
             "METHOD", "kaiser", [&request](const std::string& text) {
                 const taplore::Method* method = taplore::FindMethod(text);
                 return Kept(method ? std::optional(method) : std::nullopt,
                             Refusal(taplore::MethodNames(), text),
                             [&request](const taplore::Method* m) { request.method = m; });
             });
    AddValue(app, examples, "--taps",
             "The length, instead of the fewest taps; required with --band", "N", "101",
             [&request](const std::string& text) {
                 return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 1; }),
                               Refusal("a whole number of taps from 1 to 2147483647", text), text,
                               request.taps);
             });
    AddValues(app, examples, "--band",
              "A band of an equiripple or least-squares design of --taps, repeatable: its edges "
              "in Hz, the gain asked there (G1..G2: from G1 at LO linearly to G2 at HI) and how "
              "much its error weighs (1 unless given)",
              "LO:HI:GAIN[:WEIGHT]", "0:1000:1",
              BandsInto(request.band, "--band", AnyBand, [](const std::string& text) {
                  return Refusal("LO:HI:GAIN or LO:HI:GAIN:WEIGHT, as in 0:1000:1", text);
              }));
    AddValue(app, examples, "--kind",
             "With --band, antisymmetric taps: hilbert (a 90-degree shift of GAIN) or "
             "differentiator (a response of GAIN times the frequency in radians per sample)",
             "KIND", "hilbert", [&request](const std::string& text) {
                 return KeptIn(KindNamed(text), Refusal(Listed(KindNames()), text), text,
                               request.kind);
             });
    AddValue(app, examples, "--nyquist",
             "With --pass 0:FP, the fewest taps of an L-th-band low-pass: every L-th tap from "
             "the centre exactly 0, the centre 1/L, the stop band from rate/L - FP (equiripple "
             "half-band for 2, Kaiser window above)",
             "L", "2", [&request](const std::string& text) {
                 return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 2; }),
                               Refusal("a whole number from 2 to 2147483647", text), text,
                               request.nyquist);
             });
    AddValue(app, examples, "--phase",
             "With --pass and --stop, or a document of them (--design): linear (the default) or "
             "minimum, the same magnitude from fewer taps with their energy first and less delay",
             "PHASE", "minimum", [&request](const std::string& text) {
                 const bool known = text == "linear" || text == "minimum";
                 return Kept(known ? std::optional(text == "minimum") : std::nullopt,
                             Refusal("linear or minimum", text),
                             [&request](bool minimum) { request.minimumPhase = minimum; });
             });
    app.add_flag("--quiet", request.quiet,
                 "No report of a design to requirements, a pulse or the zeros on standard error");
    AddValue(app, examples, "--design",
             "Design to the requirements and method of the design document FILE; options given "
             "beside it replace its values, and its taps are written where they are what it "
             "asks for",
             "FILE.taplore", "lowpass.taplore", FileNameInto(request.design));
    AddValue(app, examples, "--save-design",
             "Write the design document of the design to requirements to FILE as well; an old "
             "FILE is replaced only once all is written",
             "FILE.taplore", "lowpass.taplore", FileNameInto(request.saveDesign));
    AddValue(app, examples, "--note",
             "With --save-design: the document's note, in place of the one --design read", "TEXT",
             "\"second board\"", [&request](const std::string& text) {
                 request.note = text;
                 return std::string();
             });
}

// A factor of a rate change: 2 or more.
Reader FactorInto(std::optional<Given<int>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 2; }),
                      Refusal("a whole number from 2 to 2147483647", text), text, slot);
    };
}

void DeclareRateChangeOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValue(app, examples, "--decimate",
             "Design a decimator by M instead: --rate is the high rate, --pass 0:FP the pass band "
             "kept, --atten against everything that folds into it",
             "M", "64", FactorInto(request.decimate));
    AddValue(app, examples, "--interpolate",
             "Design an interpolator by L instead, of gain L: --rate is the high rate", "L", "4",
             FactorInto(request.interpolate));
    AddValue(app, examples, "--alias",
             "With --decimate or --interpolate: pass (the default: nothing folds into the pass "
             "band) or none (nothing folds anywhere below half the low rate)",
             "RULE", "none", [&request](const std::string& text) {
                 const bool known = text == "pass" || text == "none";
                 return Kept(known ? std::optional(text == "none") : std::nullopt,
                             Refusal("pass or none", text), [&request](bool none) {
                                 request.alias =
                                     none ? taplore::AliasRule::none : taplore::AliasRule::passBand;
                             });
             });
    AddValue(app, examples, "--stages",
             "With --decimate or --interpolate: auto (the plan of the fewest multiplications, up "
             "to 4 stages), a count from 1 to 4, or the factors from the high rate down (4x4x4)",
             "PLAN", "auto", [&request](const std::string& text) {
                 return KeptIn(taplore::ParseStages(text),
                               Refusal("auto, a count from 1 to 4 or factors of 2 or more "
                                       "joined by x, as in 4x4x3",
                                       text),
                               text, request.stages);
             });
    AddValue(app, examples, "--cic",
             "Design the FIR that follows a CIC decimator of STAGES:FACTOR[:DELAY] instead, so "
             "that the cascade keeps --ripple and --atten: --rate is the CIC's output rate, "
             "--pass 0:FP the pass band, and --stop LO:HI (to half the rate) or --decimate M the "
             "stop band",
             "SHAPE", "4:16", [&request](const std::string& text) {
                 return KeptIn(taplore::ParseCic(text),
                               Refusal("STAGES:FACTOR or STAGES:FACTOR:DELAY, whole numbers, "
                                       "the factor 2 or more",
                                       text),
                               text, request.cic);
             });
}

void DeclarePulseOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    std::string shapes;
    for (const taplore::PulseShapeInfo& shape : taplore::PulseShapes())
        shapes += (shapes.empty() ? "" : ", ") + std::string(shape.name) + " (" +
                  std::string(shape.title) + ")";
    AddValue(app, examples, "--pulse",
             "Design a pulse-shaping filter of --span symbols at --sps samples each instead: " +
                 shapes,
             "SHAPE", "rrc", [&request](const std::string& text) {
                 const taplore::PulseShapeInfo* shape = taplore::FindPulseShape(text);
                 return Kept(shape ? std::optional(shape) : std::nullopt,
                             Refusal(PulseShapeNames(), text),
                             [&request](const taplore::PulseShapeInfo* s) { request.pulse = s; });
             });
    AddValue(app, examples, "--span", "The pulse's length in symbols; the taps are span * sps + 1",
             "SYMBOLS", "8", WholeNumberInto(request.span));
    AddValue(app, examples, "--sps", "The pulse's samples per symbol", "SAMPLES", "4",
             WholeNumberInto(request.samplesPerSymbol));
    AddValue(app, examples, "--rolloff",
             "The roll-off of " + ShapesShapedBy(false) + ", from 0 to 1", "A", "0.35",
             [&request](const std::string& text) {
                 return KeptIn(
                     If<double>(crt::StrictAtof(text), [](double a) { return a >= 0 && a <= 1; }),
                     Refusal("a number from 0 to 1", text), text, request.rolloff);
             });
    AddValue(app, examples, "--bt",
             "The bandwidth-time product of " + ShapesShapedBy(true) +
                 ": its -3 dB bandwidth times the symbol period",
             "B", "0.5", PositiveNumberInto(request.bt));
    AddValue(app, examples, "--gain",
             "How the pulse's taps are scaled: " + PulseGainNames() +
                 " (the sum of their squares, their sum or the largest made 1); unit-energy "
                 "for rrc and unit-dc for the others unless given",
             "NAME", "unit-dc", [&request](const std::string& text) {
                 const taplore::PulseGainInfo* gain = taplore::FindPulseGain(text);
                 return Kept(gain ? std::optional(gain->gain) : std::nullopt,
                             Refusal(PulseGainNames(), text),
                             [&request](taplore::PulseGain g) { request.gain = g; });
             });
}

void DeclareOutputOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    std::string formats;
    for (const ExportFormat& format : taplore::ExportFormats())
        formats += (formats.empty() ? "" : "; ") + std::string(format.name) + ": " +
                   std::string(format.summary);
    AddValue(app, examples, "--format", formats, "FORMAT", "c",
             [&request](const std::string& text) {
                 return Kept(taplore::ParseFormatChoice(text), Refusal(FormatNames(), text),
                             [&](const taplore::FormatChoice& choice) {
                                 request.format = choice;
                                 request.formatText = text;
                             });
             });
    AddValue(app, examples, "--bits",
             "The width of " + Listed(FormatsWhere(WidthChosen), " and ") +
                 ": B bits, F of them fraction bits (B - 1 when left out); 16.15 unless given",
             "B[.F]", "18", [&request](const std::string& text) {
                 return KeptIn(ParseQFormat(text), WidthRefusal(text), text, request.bits);
             });
    AddValue(app, examples, "--block",
             "The block size the CMSIS formats' state buffer is made for; 32 unless given", "N",
             "64", [&request](const std::string& text) {
                 return KeptIn(Count(text, taplore::kMaxBlockSize),
                               CountRefusal(taplore::kMaxBlockSize, text), text, request.block);
             });
    AddValues(
        app, examples, "--view",
        "Write these views instead of the taps (repeat for more): " + ViewsWithUnits() +
            "; with --plot, the image stacks them. zeros, given alone, writes one \"re im\" a "
            "line, "
            "by angle, and with --plot draws the z-plane",
        "NAME", "phase",
        [&request](const std::string& text) {
            return Kept(taplore::ViewNamed(text), Refusal(Listed(ViewNames()), text),
                        [&request](taplore::View view) { request.views.push_back(view); });
        },
        true);
    AddValue(app, examples, "--points",
             "Frequency points of the views, from 0 up to below half the rate; 512 unless "
             "given",
             "N", "4096", [&request](const std::string& text) {
                 const int most = taplore::FrequencyGrid::kMaxPoints;
                 return Kept(Count(text, most), CountRefusal(most, text), [&](int points) {
                     request.points = {points, text};
                 });
             });
    app.add_flag("--response", request.response,
                 "Write the response instead: Hz and dB of 512 bins (orders up to 1023); with a "
                 "Q format, the quantised filter's dB in a third column");
    AddValue(app, examples, "-o,--output",
             "Write to FILE instead of standard output (- is standard output); an old FILE is "
             "replaced only once all is written",
             "FILE", "taps.txt", FileNameInto(request.output));
    AddValue(app, examples, "--plot",
             "Write the log-magnitude response as an SVG image to FILE (- is standard output; "
             "orders up to 1023); the taps are then written only when --format, --response or "
             "-o asks for them",
             "FILE.svg", "response.svg", FileNameInto(request.plot));
}

// The bit-true simulation: the stimulus and the fixed-point arithmetic it goes through.
void DeclareSimulationOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValue(app, examples, "--simulate",
             "Instead of the taps, write the output of the fixed-point filter, taps in --bits, "
             "one integer a line, for STIMULUS: impulse, step, chirp, noise[:SEED] or a file "
             "(one integer a line, CSV or WAV); a report on standard error",
             "STIMULUS", "chirp", [&request](const std::string& text) {
                 return Kept(If<std::string>(text, [](const std::string& t) { return !t.empty(); }),
                             Refusal("a signal or a file name", text),
                             [&request](const std::string& s) { request.simulate = s; });
             });
    AddValue(app, examples, "--samples", "The length of a generated stimulus; 4096 unless given",
             "N", "100000", WholeNumberInto(request.samples));
    const auto format = [&examples, &app](const char* name, const std::string& help,
                                          std::optional<Given<taplore::SampleFormat>>& slot) {
        AddValue(app, examples, name, help, "B[.F]", "16.15", [&slot](const std::string& text) {
            return KeptIn(taplore::ParseSampleFormat(text), SampleWidthRefusal(text), text, slot);
        });
    };
    format("--input-bits", "The input's B bits, F of them fraction bits; 16.15 unless given",
           request.inputBits);
    format("--output-bits",
           "The output's B bits, F of them fraction bits; the input's unless given",
           request.outputBits);
    AddValue(app, examples, "--acc-bits",
             "The accumulator's bits, 2 to 64; wide enough never to overflow unless given", "A",
             "40", [&request](const std::string& text) {
                 return KeptIn(
                     If<int>(crt::StrictAtoi(text), [](int a) { return a >= 2 && a <= 64; }),
                     Refusal("a whole number of bits from 2 to 64", text), text, request.accBits);
             });
    AddValue(app, examples, "--overflow",
             "At the accumulator and the output: wrap (the default) or saturate", "MODE",
             "saturate", [&request](const std::string& text) {
                 return Kept(taplore::OverflowNamed(text), Refusal("wrap or saturate", text),
                             [&request](taplore::Overflow o) { request.overflow = o; });
             });
    AddValue(app, examples, "--rounding",
             "At the output: nearest (ties away from zero, the default), floor, zero or "
             "convergent (ties to even)",
             "MODE", "convergent", [&request](const std::string& text) {
                 return Kept(taplore::RoundingNamed(text),
                             Refusal("nearest, floor, zero or convergent", text),
                             [&request](taplore::Rounding r) { request.rounding = r; });
             });
    AddValue(app, examples, "--simulate-output",
             "Write the simulation's output as a WAV file too, at the input's rate and width",
             "FILE.wav", "out.wav", FileNameInto(request.simulateOutput));
    app.add_flag("--fewest-bits", request.fewestBits,
                 "With --pass and --stop: write the taps of the fewest bits that still meet the "
                 "requirements, one integer a line, their rounding searched; the bits found, "
                 "those plain rounding needs and each band's margin on standard error");
    app.add_flag("--search-roundings", request.searchRoundings,
                 "With --pass and --stop: the taps in --bits rounded by the search of "
                 "--fewest-bits, not plainly, for every format and for --simulate");
}

} // namespace

OptionExamples DeclareOptions(CLI::App& app, Request& request) {
    OptionExamples examples;
    DeclareDesignOptions(app, request, examples);
    DeclareRequirementOptions(app, request, examples);
    DeclareRateChangeOptions(app, request, examples);
    DeclarePulseOptions(app, request, examples);
    DeclareOutputOptions(app, request, examples);
    DeclareSimulationOptions(app, request, examples);
    app.set_version_flag("--version", std::string(kProgram) + " " + kTaploreVersion);
    app.footer("Exit status: 0 written, 1 design or output failed, 2 arguments refused.");
    app.callback([&app, &request] { CheckTogether(app, request); });
    return examples;
}
