#include "cli/options.h"

#include "cli/console.h"
#include "core/formats/crt.h"
#include "core/version.h"

#include <cmath>

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

void DeclareDesignOptions(CLI::App& app, Options& options, OptionExamples& examples) {
    AddValue(app, examples, "--order", options.order,
             "Filter order; the taps are the order made odd", "N", "511")
        ->required()
        ->check(CheckOrder);
    AddValue(app, examples, "--rate", options.rate, "Sampling rate in Hz", "HZ", "8000")
        ->required()
        ->check(CheckRate);
    AddValue(app, examples, "--low", options.low, "Low cutoff in Hz, 0 to rate/2", "HZ", "400")
        ->required()
        ->check(CheckNumber);
    AddValue(app, examples, "--high", options.high, "High cutoff in Hz, 0 to rate/2", "HZ", "2400")
        ->required()
        ->check(CheckNumber);
}

} // namespace

OptionExamples DeclareOptions(CLI::App& app, Options& options) {
    OptionExamples examples;
    DeclareDesignOptions(app, options, examples);
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
    app.callback([&options, format, response, output] {
        const DesignRequest request = RequestOf(options);
        CheckCutoff("--low", request.lowHz, options.low, request.rate);
        CheckCutoff("--high", request.highHz, options.high, request.rate);
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

std::optional<QFormat> QFormatOf(const std::string& format) {
    if (format == "q15" || format == "c-q15")
        return QFormat::q15;
    if (format == "q31" || format == "c-q31")
        return QFormat::q31;
    return std::nullopt;
}
