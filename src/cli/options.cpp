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

void CheckCutoff(const std::string& option, double hz, const std::string& text, double rate) {
    if (!(hz >= 0 && hz <= rate / 2))
        throw CLI::ValidationError(
            option,
            Refusal("from 0 to " + crt::FormatShortest(rate / 2) + " (half of --rate)", text));
}

void DeclareDesignOptions(CLI::App& app, Options& options) {
    app.add_option("--order", options.order, "Filter order; the taps are the order made odd")
        ->required()
        ->type_name("N")
        ->check(CheckOrder);
    app.add_option("--rate", options.rate, "Sampling rate in Hz")
        ->required()
        ->type_name("HZ")
        ->check(CheckRate);
    app.add_option("--low", options.low, "Low cutoff in Hz, 0 to rate/2")
        ->required()
        ->type_name("HZ")
        ->check(CheckNumber);
    app.add_option("--high", options.high, "High cutoff in Hz, 0 to rate/2")
        ->required()
        ->type_name("HZ")
        ->check(CheckNumber);
}

} // namespace

void DeclareOptions(CLI::App& app, Options& options) {
    DeclareDesignOptions(app, options);
    const auto format =
        app.add_option("--format", options.format,
                       "text: the saved file (\"%f\", CR LF); full: 17 significant digits; "
                       "c: a C array; q15, q31: one fixed-point integer a line; c-q15, c-q31: "
                       "a C array of them")
            ->type_name("FORMAT")
            ->check(CheckFormat);
    const auto response = app.add_flag(
        "--response", options.response,
        "Write the response instead: Hz and dB of 512 bins (orders up to 1023); with a Q "
        "format, the quantised filter's dB in a third column");
    const auto output =
        app.add_option("-o,--output", options.output,
                       "Write to FILE instead of standard output; an old FILE is replaced only "
                       "once all is written")
            ->type_name("FILE");
    app.add_option("--plot", options.plot,
                   "Write the log-magnitude response as an SVG image to FILE (orders up to "
                   "1023); the taps are then written only when --format, --response or -o "
                   "asks for them")
        ->type_name("FILE.svg");
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
    });
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
