#include "cli/options.h"

#include "cli/console.h"
#include "core/formats/crt.h"
#include "core/version.h"

#include <cmath>
#include <initializer_list>

namespace {

std::string Refusal(const std::string& expected, const std::string& text) {
    return "must be " + expected + ", not \"" + text + "\"";
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

std::string CheckFormat(const std::string& text) {
    return text == "text" || text == "full" || text == "c" || QFormatOf(text)
               ? ""
               : Refusal("text, full, c, q15, q31, c-q15 or c-q31", text);
}

std::string CheckFileName(const std::string& text) {
    return text.empty() ? Refusal("a file name", text) : "";
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
    return text == "equiripple" || text == "kaiser" ? "" : Refusal("equiripple or kaiser", text);
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
    std::string names;
    const auto windows = taplore::Windows();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        names += i == 0 ? "" : i + 1 == windows.size() ? " or " : ", ";
        names += windows[i].name;
        names += windows[i].takesParameter ? ":BETA (BETA from 0 to 100)" : "";
    }
    return names;
}

std::string CheckWindow(const std::string& text) {
    return ParseWindow(text) ? "" : Refusal("a window: " + WindowNames(), text);
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

// A value that may be given again and again, each text kept in order.
CLI::Option* AddValues(CLI::App& app, OptionExamples& examples, const std::string& name,
                       std::vector<std::string>& values, const std::string& help,
                       const std::string& valueName, const std::string& example) {
    CLI::Option* option = app.add_option(name, values, help)->type_name(valueName);
    option->allow_extra_args(false)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    examples.emplace(option->get_name(), example);
    return option;
}

// The dialog's values: required unless the design is to requirements.
void DeclareDesignOptions(CLI::App& app, Options& options, OptionExamples& examples) {
    AddValue(app, examples, "--order", options.order,
             "Filter order; the taps are the order made odd", "N", "511")
        ->check(CheckOrder);
    AddValue(app, examples, "--rate", options.rate, "Sampling rate in Hz", "HZ", "8000")
        ->required()
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
             "How to design to --pass and --stop: equiripple (the default) or kaiser", "METHOD",
             "kaiser")
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
}

using GivenOptions = std::map<std::string, CLI::Option*>;

bool Given(const GivenOptions& given, const std::string& name) {
    return given.at(name)->count() > 0;
}

// The first text given to the option, for a refusal to quote.
std::string FirstText(const CLI::Option* option) {
    return option->results().empty() ? std::string() : option->results().front();
}

// Each of names must be left out: refused with the reason when given.
void Refuse(const GivenOptions& given, std::initializer_list<const char*> names,
            const std::string& expected) {
    for (const char* name : names)
        if (Given(given, name))
            throw CLI::ValidationError(name, Refusal(expected, FirstText(given.at(name))));
}

void Require(const GivenOptions& given, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!Given(given, name))
            throw CLI::RequiredError(name);
}

// The words that say which design this is, and whether they fit together: the dialog's
// values, pass and stop bands with their tolerances, or bands of any gain with a length.
void CheckWork(const Options& options, const GivenOptions& given) {
    if (!ToRequirements(options)) {
        Require(given, {"--order", "--low", "--high"});
        Refuse(given, {"--ripple", "--atten", "--taps", "--method", "--kind"},
               "given with --pass and --stop, or --band");
        return;
    }
    Refuse(given, {"--order", "--low", "--high", "--window"},
           "left out of a design to requirements");
    if (!Given(given, "--band")) {
        Refuse(given, {"--kind"}, "given with --band");
        Require(given, {"--ripple", "--atten"});
        return;
    }
    Refuse(given, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
    Require(given, {"--taps"});
    if (options.method != "equiripple")
        throw CLI::ValidationError("--method", Refusal("equiripple with --band", options.method));
}

} // namespace

OptionExamples DeclareOptions(CLI::App& app, Options& options) {
    OptionExamples examples;
    DeclareDesignOptions(app, options, examples);
    DeclareRequirementOptions(app, options, examples);
    const auto format = AddValue(app, examples, "--format", options.format,
                                 "text: the saved file (\"%f\", CR LF); full: 17 significant "
                                 "digits; c: a C array; q15, q31: one fixed-point integer a "
                                 "line; c-q15, c-q31: a C array of them",
                                 "FORMAT", "c")
                            ->check(CheckFormat);
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
    GivenOptions given;
    for (CLI::Option* option : app.get_options())
        given.emplace(option->get_name(), option);
    app.callback([&options, format, response, output, given] {
        CheckWork(options, given);
        if (!ToRequirements(options)) {
            const DesignRequest request = RequestOf(options);
            CheckCutoff("--low", request.lowHz, options.low, request.rate);
            CheckCutoff("--high", request.highHz, options.high, request.rate);
        }
        if (options.response && format->count() && !QFormatOf(options.format))
            throw CLI::ValidationError("--response", Refusal("alone or with a Q format (q15, "
                                                             "q31, c-q15, c-q31) as --format",
                                                             options.format));
        options.textAsked =
            options.plot.empty() || format->count() || response->count() || output->count();
        if (options.textAsked && ToStandardOutput(options.output) && options.plot == "-")
            throw CLI::ValidationError(
                "--plot", Refusal("a file when the text goes to standard output", options.plot));
    });
    return examples;
}

std::string ParseRefusal(const CLI::App& app, const CLI::ParseError& error,
                         const OptionExamples& examples) {
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error))
        return what + " (each value follows its option, as in --order 511)";
    if (!dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return what;
    // The parser names the option first: given too often, or without its value.
    for (const CLI::Option* option : app.get_options()) {
        const std::string name = option->get_name();
        if (!what.starts_with(name + ":"))
            continue;
        if (option->count() == 2)
            return name + " was given twice.";
        if (option->count() > 2)
            return name + " was given " + crt::FormatD(int(option->count())) + " times.";
        if (const auto example = examples.find(name); example != examples.end())
            return name + " needs a value, as in " + name + " " + example->second + ".";
    }
    return what;
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
    return !options.pass.empty() || !options.stop.empty() || !options.band.empty();
}

std::vector<double> FieldsOf(const std::string& text) {
    return *Fields(text);
}

WindowChoice WindowOf(const Options& options) {
    return *ParseWindow(options.window);
}

std::optional<QFormat> QFormatOf(const std::string& format) {
    if (format == "q15" || format == "c-q15")
        return QFormat::q15;
    if (format == "q31" || format == "c-q31")
        return QFormat::q31;
    return std::nullopt;
}
