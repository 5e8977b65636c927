#include "cli/options.h"

#include "cli/console.h"
#include "core/design/methods.h"
#include "core/formats/crt.h"
#include "core/version.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace {

std::string Refusal(const std::string& expected, const std::string& text) {
    return "must be " + expected + ", not \"" + Echoed(text) + "\"";
}

std::string CheckOrder(const std::string& text) {
    const auto order = crt::StrictAtoi(text);
    return order && *order >= 1 ? "" : Refusal("a whole number from 1 to 2147483647", text);
}

std::string CheckRate(const std::string& text) {
    const auto rate = crt::StrictAtof(text);
    return rate && *rate > 0 && std::isfinite(*rate) ? ""
                                                     : Refusal("a positive, finite number", text);
}

std::string CheckNumber(const std::string& text) {
    return crt::StrictAtof(text) ? "" : Refusal("a number", text);
}

// "a, b or c" from the names.
template <typename Names> std::string Listed(const Names& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + std::string(names[i]);
    return list;
}

// Every format of the table, those whose width is chosen with their ":B[.F]".
std::string FormatNames() {
    std::vector<std::string> names;
    for (const taplore::ExportFormat& format : taplore::ExportFormats())
        names.push_back(std::string(format.name) +
                        (format.width == taplore::ExportWidth::chosen ? "[:B[.F]]" : ""));
    return Listed(names);
}

std::string CheckFormat(const std::string& text) {
    return taplore::ParseFormatChoice(text) ? "" : Refusal(FormatNames(), text);
}

std::string CheckWidth(const std::string& text) {
    return ParseQFormat(text) ? ""
                              : Refusal("B or B.F: B bits from 2 to 32, F fraction bits from 0 "
                                        "to 62 (B - 1 when left out)",
                                        text);
}

// A whole number from 1 to largest.
std::string CheckCount(const std::string& text, int largest) {
    const auto count = crt::StrictAtoi(text);
    return count && *count >= 1 && *count <= largest
               ? ""
               : Refusal("a whole number from 1 to " + crt::FormatD(largest), text);
}

std::string CheckView(const std::string& text) {
    std::vector<std::string_view> names;
    for (const taplore::ViewInfo& view : taplore::Views())
        names.push_back(view.name);
    return taplore::ViewNamed(text) ? "" : Refusal(Listed(names), text);
}

// LO:HI with two numbers, or LO:HI:GAIN[:WEIGHT] with three or four, each by Atof's rules.
std::optional<std::vector<double>> Fields(const std::string& text) {
    std::vector<double> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        const auto field = crt::StrictAtof(std::string_view(text).substr(start, colon - start));
        if (!field)
            return std::nullopt;
        fields.push_back(*field);
        if (colon == std::string::npos)
            return fields;
        start = colon + 1;
    }
}

std::string CheckEdges(const std::string& text) {
    const auto fields = Fields(text);
    return fields && fields->size() == 2 ? "" : Refusal("LO:HI in Hz, as in 0:1000", text);
}

std::string CheckBand(const std::string& text) {
    const auto fields = Fields(text);
    return fields && (fields->size() == 3 || fields->size() == 4)
               ? ""
               : Refusal("LO:HI:GAIN or LO:HI:GAIN:WEIGHT, as in 0:1000:1", text);
}

std::string CheckTaps(const std::string& text) {
    const auto taps = crt::StrictAtoi(text);
    return taps && *taps >= 1 ? "" : Refusal("a whole number of taps from 1 to 2147483647", text);
}

std::string CheckMethod(const std::string& text) {
    return taplore::FindMethod(text) ? "" : Refusal(taplore::MethodNames(), text);
}

std::string CheckKind(const std::string& text) {
    return text == "hilbert" || text == "differentiator"
               ? ""
               : Refusal("hilbert or differentiator", text);
}

// A name of the window table, with ":BETA" for the window that takes a parameter.
std::optional<WindowChoice> ParseWindow(const std::string& text) {
    const std::size_t colon = text.find(':');
    const taplore::WindowInfo* window = taplore::FindWindow(text.substr(0, colon));
    if (!window || window->takesParameter != (colon != std::string::npos))
        return std::nullopt;
    if (!window->takesParameter)
        return WindowChoice{window->kind, 0.0};
    const auto beta = crt::StrictAtof(std::string_view(text).substr(colon + 1));
    if (!beta || !(*beta >= 0 && *beta <= taplore::kMaxKaiserBeta))
        return std::nullopt;
    return WindowChoice{window->kind, *beta};
}

std::string WindowNames() {
    std::vector<std::string> names;
    for (const taplore::WindowInfo& window : taplore::Windows())
        names.push_back(std::string(window.name) +
                        (window.takesParameter ? ":BETA (BETA from 0 to 100)" : ""));
    return Listed(names);
}

std::string CheckWindow(const std::string& text) {
    return ParseWindow(text) ? "" : Refusal("a window: " + WindowNames(), text);
}

std::string CheckFileName(const std::string& text) {
    return text.empty() ? Refusal("a file name", text) : "";
}

// The cutoffs' range. Half a rate below twice the smallest normal double is rounded, so it is
// named rather than printed.
std::string CutoffRange(double rate) {
    const double half = rate / 2;
    if (half * 2 != rate)
        return "from 0 to half of --rate";
    return "from 0 to " + crt::FormatShortest(half) + " (half of --rate)";
}

// Checked as the designer sees the cutoff, divided by the rate and doubled: from 0 to 1.
void CheckCutoff(const std::string& option, double hz, const std::string& text, double rate) {
    if (!(hz >= 0 && NormalisedCutoff(hz, rate) <= 1))
        throw CLI::ValidationError(option, Refusal(CutoffRange(rate), text));
}

// An option that takes a value, with the name of the value in the help and an example of it.
CLI::Option* AddValue(CLI::App& app, OptionExamples& examples, const std::string& names,
                      std::string& value, const std::string& help, const std::string& valueName,
                      const std::string& example) {
    CLI::Option* option = app.add_option(names, value, help)->type_name(valueName);
    examples.emplace(option->get_name(), example);
    return option;
}

// The dialog's four values and its window, required unless the taps are read from a file (where
// a rate may still be given, for the frequency axes) or designed to requirements (which take
// the rate alone of them).
void DeclareDesignOptions(CLI::App& app, Options& options, OptionExamples& examples) {
    AddValue(app, examples, "--order", options.order,
             "Filter order; the taps are the order made odd", "N", "511")
        ->check(CheckOrder);
    AddValue(app, examples, "--rate", options.rate,
             "Sampling rate in Hz (with --taps-from: for the frequency axes)", "HZ", "8000")
        ->check(CheckRate);
    AddValue(app, examples, "--low", options.low, "Low cutoff in Hz, 0 to rate/2", "HZ", "400")
        ->check(CheckNumber);
    AddValue(app, examples, "--high", options.high, "High cutoff in Hz, 0 to rate/2", "HZ", "2400")
        ->check(CheckNumber);
    AddValue(app, examples, "--window", options.window,
             "The window of the dialog's design: " + WindowNames() +
                 "; hamming, the default, is the dialog's own",
             "NAME", "blackman")
        ->check(CheckWindow);
    AddValue(app, examples, "--taps-from", options.tapsFrom,
             "Read the taps from FILE (- is standard input) instead of designing them: one "
             "number a line, Taplore's CSV or its JSON",
             "FILE", "taps.txt")
        ->check(CheckFileName);
    AddValue(app, examples, "--taps-bits", options.tapsBits,
             "With --taps-from: the file holds fixed-point integers of B bits, F of them "
             "fraction bits (B - 1 when left out), each read as q / 2^F",
             "B[.F]", "16.15")
        ->check(CheckWidth);
}

// A value that may be given again and again, each text kept in order.
CLI::Option* AddValues(CLI::App& app, OptionExamples& examples, const std::string& name,
                       std::vector<std::string>& values, const std::string& help,
                       const std::string& valueName, const std::string& example) {
    CLI::Option* option = app.add_option(name, values, help)->type_name(valueName);
    option->allow_extra_args(false)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    examples.emplace(option->get_name(), example);
    return option;
}

void DeclareRequirementOptions(CLI::App& app, Options& options, OptionExamples& examples) {
    AddValues(app, examples, "--pass", options.pass,
              "A pass band in Hz, repeatable: the fewest taps that keep --ripple there and "
              "--atten in the stop bands",
              "LO:HI", "0:1000")
        ->check(CheckEdges);
    AddValues(app, examples, "--stop", options.stop, "A stop band in Hz, repeatable", "LO:HI",
              "1500:4000")
        ->check(CheckEdges);
    AddValue(app, examples, "--ripple", options.ripple, "Pass-band ripple, peak to peak, in dB",
             "DB", "0.1")
        ->check(CheckNumber);
    AddValue(app, examples, "--atten", options.atten,
             "Stop-band attenuation below the pass band, in dB", "DB", "60")
        ->check(CheckNumber);
    AddValue(app, examples, "--method", options.method,
             "How to design to --pass and --stop: " + taplore::MethodNames() +
                 " (equiripple unless given; a window needs --taps)",
             "METHOD", "kaiser")
        ->check(CheckMethod);
    AddValue(app, examples, "--taps", options.taps,
             "The length, instead of the fewest taps; required with --band", "N", "101")
        ->check(CheckTaps);
    AddValues(app, examples, "--band", options.band,
              "A band of an equiripple design of --taps, repeatable: its edges in Hz, the gain "
              "asked there and how much its error weighs (1 unless given)",
              "LO:HI:GAIN[:WEIGHT]", "0:1000:1")
        ->check(CheckBand);
    AddValue(app, examples, "--kind", options.kind,
             "With --band, antisymmetric taps: hilbert (a 90-degree shift of GAIN) or "
             "differentiator (a response of GAIN times the frequency in radians per sample)",
             "KIND", "hilbert")
        ->check(CheckKind);
    app.add_flag("--quiet", options.quiet,
                 "No report of a design to requirements on standard error");
    AddValue(app, examples, "--design", options.design,
             "Design to the requirements and method of the design document FILE; options given "
             "beside it replace its values, and its taps are written where they are what it "
             "asks for",
             "FILE.taplore", "lowpass.taplore")
        ->check(CheckFileName);
    AddValue(app, examples, "--save-design", options.saveDesign,
             "Write the design document of the design to requirements to FILE as well; an old "
             "FILE is replaced only once all is written",
             "FILE.taplore", "lowpass.taplore")
        ->check(CheckFileName);
    AddValue(app, examples, "--note", options.note,
             "With --save-design: the document's note, in place of the one --design read", "TEXT",
             "\"second board\"");
}

bool Given(const CLI::App& app, const std::string& name) {
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
        if (Given(app, name))
            throw CLI::ValidationError(name, Refusal(expected, FirstText(app, name)));
}

void Require(const CLI::App& app, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!Given(app, name))
            throw CLI::RequiredError(name);
}

// A design to requirements: pass and stop bands with their tolerances, or bands of any gain
// with a length, and the rate; none of the dialog's values.
void CheckRequirements(const CLI::App& app, const Options& options) {
    Refuse(app, {"--order", "--low", "--high", "--window", "--taps-from", "--taps-bits"},
           "left out of a design to requirements");
    if (!options.design.empty()) {
        if (ToStandardOutput(options.design))
            throw CLI::ValidationError("--design",
                                       Refusal("a file name, not standard input", options.design));
        // The document has the rest; what the options change in it is checked with it.
        if (Given(app, "--band"))
            Refuse(app, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
        return;
    }
    Require(app, {"--rate"});
    if (!Given(app, "--band")) {
        Refuse(app, {"--kind"}, "given with --band");
        Require(app, {"--ripple", "--atten"});
        // A method without a search designs the length it is given.
        if (!taplore::FindMethod(options.method)->Searches())
            Require(app, {"--taps"});
        return;
    }
    Refuse(app, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
    Require(app, {"--taps"});
    if (!taplore::FindMethod(options.method)->bands)
        throw CLI::ValidationError("--method",
                                   Refusal(taplore::MethodNames([](const taplore::Method& m) {
                                               return m.bands;
                                           }) + " with --band",
                                           options.method));
}

// Without --taps-from the four design values are required, in the order the help lists them;
// with it, a design's order and cutoffs have nothing to design.
void CheckTapsSource(const CLI::App& app, const Options& options) {
    const bool readBack = !options.tapsFrom.empty();
    for (const char* name : {"--order", "--rate", "--low", "--high"}) {
        const bool given = app.get_option(name)->count() > 0;
        if (!readBack && !given)
            throw CLI::RequiredError(name);
        if (readBack && given && std::string_view(name) != "--rate")
            throw CLI::ValidationError(name, "must be left out with --taps-from, which reads "
                                             "the taps instead of designing them");
    }
    if (!readBack && !options.tapsBits.empty())
        throw CLI::ValidationError(
            "--taps-bits",
            Refusal("given with --taps-from, which reads the integers", options.tapsBits));
}

// Each of --bits and --block only with a format that takes it; the views instead of --response.
void CheckFormatOptions(const Options& options) {
    const taplore::FormatChoice choice = FormatOf(options);
    if (!options.bits.empty() && choice.format->width != taplore::ExportWidth::chosen)
        throw CLI::ValidationError("--bits", Refusal("given with a format whose width is "
                                                     "chosen (q, coe, mif, vhdl, verilog)",
                                                     options.bits));
    if (!options.bits.empty() && choice.width)
        throw CLI::ValidationError("--bits",
                                   Refusal("left out when --format names the width", options.bits));
    if (!options.block.empty() && !choice.format->name.starts_with("cmsis-"))
        throw CLI::ValidationError(
            "--block",
            Refusal("given with a CMSIS format (cmsis-q15, cmsis-q31, cmsis-f32)", options.block));
    if (options.response && !options.views.empty())
        throw CLI::ValidationError("--response", "must be left out with --view, which "
                                                 "chooses the views written instead");
}

// --points only beside the views it sets the grid of, and only as many as the free memory
// holds, told before any work.
void CheckViewPoints(const CLI::App& app, const Options& options) {
    if (!Given(app, "--points"))
        return;
    if (options.views.empty())
        throw CLI::ValidationError("--points", Refusal("given with --view", options.points));
    const int most = taplore::MostViewPoints();
    if (PointsOf(options) > most)
        throw CLI::ValidationError(
            "--points",
            Refusal("at most " + crt::FormatD(most) + " for the free memory", options.points));
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
void CheckSaveDesign(const CLI::App& app, const Options& options) {
    if (!ToRequirements(options))
        Refuse(app, {"--save-design"},
               "given with a design to requirements (--pass and --stop, "
               "--band or --design)");
    if (options.saveDesign.empty())
        Refuse(app, {"--note"}, "given with --save-design");
    if (options.saveDesign.empty())
        return;
    if (ToStandardOutput(options.saveDesign))
        throw CLI::ValidationError("--save-design",
                                   Refusal("a file name, not standard output", options.saveDesign));
    for (const std::string* other : {&options.output, &options.plot})
        if (!ToStandardOutput(*other) && SameFile(options.saveDesign, *other))
            throw CLI::ValidationError(
                "--save-design",
                Refusal("another file than -o's and --plot's", options.saveDesign));
}

} // namespace

OptionExamples DeclareOptions(CLI::App& app, Options& options) {
    OptionExamples examples;
    DeclareDesignOptions(app, options, examples);
    DeclareRequirementOptions(app, options, examples);
    std::string formats;
    for (const taplore::ExportFormat& format : taplore::ExportFormats())
        formats += (formats.empty() ? "" : "; ") + std::string(format.name) + ": " +
                   std::string(format.summary);
    const auto format = AddValue(app, examples, "--format", options.format, formats, "FORMAT", "c")
                            ->check(CheckFormat);
    AddValue(app, examples, "--bits", options.bits,
             "The width of q, coe, mif, vhdl and verilog: B bits, F of them fraction bits "
             "(B - 1 when left out); 16.15 unless given",
             "B[.F]", "18")
        ->check(CheckWidth);
    AddValue(app, examples, "--block", options.block,
             "The block size the CMSIS formats' state buffer is made for; 32 unless given", "N",
             "64")
        ->check([](const std::string& text) { return CheckCount(text, taplore::kMaxBlockSize); });
    app.add_option("--view", options.views,
                   "Write these views instead of the taps (repeat for more): magnitude (dB), "
                   "phase (unwrapped degrees), group-delay (samples), impulse, step; with "
                   "--plot, the image stacks them")
        ->type_name("NAME")
        ->check(CheckView);
    examples.emplace("--view", "phase");
    AddValue(app, examples, "--points", options.points,
             "Frequency points of the views, from 0 up to below half the rate; 512 unless "
             "given",
             "N", "4096")
        ->check([](const std::string& text) {
            return CheckCount(text, taplore::FrequencyGrid::kMaxPoints);
        });
    const auto response = app.add_flag(
        "--response", options.response,
        "Write the response instead: Hz and dB of 512 bins (orders up to 1023); with a Q "
        "format, the quantised filter's dB in a third column");
    const auto output = AddValue(app, examples, "-o,--output", options.output,
                                 "Write to FILE instead of standard output (- is standard "
                                 "output); an old FILE is replaced only once all is written",
                                 "FILE", "taps.txt")
                            ->check(CheckFileName);
    AddValue(app, examples, "--plot", options.plot,
             "Write the log-magnitude response as an SVG image to FILE (- is standard output; "
             "orders up to 1023); the taps are then written only when --format, --response or "
             "-o asks for them",
             "FILE.svg", "response.svg")
        ->check(CheckFileName);
    app.set_version_flag("--version", std::string(kProgram) + " " + kTaploreVersion);
    app.footer("Exit status: 0 written, 1 design or output failed, 2 arguments refused.");
    app.callback([&app, &options, format, response, output] {
        if (ToRequirements(options)) {
            CheckRequirements(app, options);
        } else {
            Refuse(app, {"--ripple", "--atten", "--taps", "--method", "--kind"},
                   "given with --pass and --stop, or --band");
            if (!options.tapsFrom.empty())
                Refuse(app, {"--window"}, "left out with --taps-from");
            CheckTapsSource(app, options);
        }
        if (options.tapsFrom.empty() && !ToRequirements(options)) {
            const DesignRequest request = RequestOf(options);
            CheckCutoff("--low", request.lowHz, options.low, request.rate);
            CheckCutoff("--high", request.highHz, options.high, request.rate);
        }
        options.methodGiven = Given(app, "--method");
        options.noteGiven = Given(app, "--note");
        CheckSaveDesign(app, options);
        CheckFormatOptions(options);
        CheckViewPoints(app, options);
        if (options.response && format->count() && !WidthOf(options))
            throw CLI::ValidationError("--response",
                                       Refusal("alone or with a format that has a width (such "
                                               "as q15 or coe) as --format",
                                               options.format));
        options.textAsked =
            options.plot.empty() || format->count() || response->count() || output->count();
        if (options.textAsked && ToStandardOutput(options.output) && options.plot == "-")
            throw CLI::ValidationError(
                "--plot", Refusal("a file when the text goes to standard output", options.plot));
        if (options.textAsked && !ToStandardOutput(options.output) &&
            !ToStandardOutput(options.plot) && SameFile(options.output, options.plot))
            throw CLI::ValidationError("--plot", Refusal("another file than -o's", options.plot));
    });
    return examples;
}

bool ToStandardOutput(const std::string& path) {
    return path.empty() || path == "-";
}

// Called once every option has passed its own check: the texts are known to be numbers.
DesignRequest RequestOf(const Options& options) {
    return {*crt::StrictAtoi(options.order), *crt::StrictAtof(options.rate),
            *crt::StrictAtof(options.low), *crt::StrictAtof(options.high)};
}

bool ToRequirements(const Options& options) {
    return !options.pass.empty() || !options.stop.empty() || !options.band.empty() ||
           !options.design.empty();
}

std::vector<double> FieldsOf(const std::string& text) {
    return *Fields(text);
}

WindowChoice WindowOf(const Options& options) {
    return *ParseWindow(options.window);
}

taplore::FormatChoice FormatOf(const Options& options) {
    return *taplore::ParseFormatChoice(options.format);
}

std::optional<QFormat> WidthOf(const Options& options) {
    const taplore::FormatChoice choice = FormatOf(options);
    const QFormat chosen = choice.width           ? *choice.width
                           : options.bits.empty() ? QFormat::q15
                                                  : *ParseQFormat(options.bits);
    return taplore::ExportQFormat(*choice.format, chosen);
}

int BlockOf(const Options& options) {
    return options.block.empty() ? taplore::kDefaultBlockSize : *crt::StrictAtoi(options.block);
}

std::vector<taplore::View> ViewsOf(const Options& options) {
    std::vector<taplore::View> views;
    for (const std::string& name : options.views)
        views.push_back(*taplore::ViewNamed(name));
    return views;
}

int PointsOf(const Options& options) {
    return *crt::StrictAtoi(options.points);
}
