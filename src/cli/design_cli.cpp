// taplore-design: the filter Calculate designs, from the command line, written as taps or as
// its response to standard output or to a file, for scripts and builds.
#include "cli/design_cli.h"

#include "cli/progress_line.h"
#include "core/analysis/log_magnitude.h"
#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/formats/fixed_point.h"
#include "core/formats/response_plot.h"
#include "core/io/file_output.h"
#include "core/version.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "taplore-design";
constexpr int kDone = 0;
constexpr int kFailed = 1;  // the design, its fixed-point form, the spectrum or the output failed
constexpr int kRefused = 2; // the arguments were refused before any work

// The numbers stay texts until the validators have accepted them, so that they are read by
// the same rules as the dialog's edits, not by the option parser's own.
struct Arguments {
    std::string order, rate, low, high;
    std::string format = "text";
    bool response = false;
    std::string output; // empty for standard output
    std::string plot;   // empty for no plot
    // With --plot alone the image is all that is written; these ask for the text as well.
    bool textAsked = true;
};

// Where the work writes: the caller's streams, and the progress line on the message stream.
struct Console {
    std::ostream& out;
    std::ostream& err;
    ProgressLine progress;
};

int Report(Console& console, int status, const std::string& message) {
    console.progress.Erase();
    console.err << kProgram << ": " << message << '\n';
    return status;
}

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

// The fixed-point format a --format text names, if any.
std::optional<QFormat> QFormatOf(const std::string& format) {
    if (format == "q15" || format == "c-q15")
        return QFormat::q15;
    if (format == "q31" || format == "c-q31")
        return QFormat::q31;
    return std::nullopt;
}

std::string CheckFormat(const std::string& text) {
    return text == "text" || text == "full" || text == "c" || QFormatOf(text)
               ? ""
               : Refusal("text, full, c, q15, q31, c-q15 or c-q31", text);
}

// Called once every option has passed its own check: the texts are known to be numbers.
DesignRequest RequestOf(const Arguments& args) {
    return {*crt::StrictAtoi(args.order), *crt::StrictAtof(args.rate), *crt::StrictAtof(args.low),
            *crt::StrictAtof(args.high)};
}

void CheckCutoff(const std::string& option, double hz, const std::string& text, double rate) {
    if (!(hz >= 0 && hz <= rate / 2))
        throw CLI::ValidationError(
            option,
            Refusal("from 0 to " + crt::FormatShortest(rate / 2) + " (half of --rate)", text));
}

void DescribeOptions(CLI::App& app, Arguments& args) {
    app.add_option("--order", args.order, "Filter order; the taps are the order made odd")
        ->required()
        ->type_name("N")
        ->check(CheckOrder);
    app.add_option("--rate", args.rate, "Sampling rate in Hz")
        ->required()
        ->type_name("HZ")
        ->check(CheckRate);
    app.add_option("--low", args.low, "Low cutoff in Hz, 0 to rate/2")
        ->required()
        ->type_name("HZ")
        ->check(CheckNumber);
    app.add_option("--high", args.high, "High cutoff in Hz, 0 to rate/2")
        ->required()
        ->type_name("HZ")
        ->check(CheckNumber);
    const auto format =
        app.add_option("--format", args.format,
                       "text: the saved file (\"%f\", CR LF); full: 17 significant digits; "
                       "c: a C array; q15, q31: one fixed-point integer a line; c-q15, c-q31: "
                       "a C array of them")
            ->type_name("FORMAT")
            ->check(CheckFormat);
    const auto response = app.add_flag(
        "--response", args.response,
        "Write the response instead: Hz and dB of 512 bins (orders up to 1023); with a Q "
        "format, the quantised filter's dB in a third column");
    const auto output =
        app.add_option("-o,--output", args.output,
                       "Write to FILE instead of standard output; an old FILE is replaced only "
                       "once all is written")
            ->type_name("FILE");
    app.add_option("--plot", args.plot,
                   "Write the log-magnitude response as an SVG image to FILE (orders up to "
                   "1023); the taps are then written only when --format, --response or -o "
                   "asks for them")
        ->type_name("FILE.svg");
    app.set_version_flag("--version", std::string(kProgram) + " " + kTaploreVersion);
    app.footer("Exit status: 0 written, 1 design or output failed, 2 arguments refused.");
    app.callback([&args, format, response, output] {
        const DesignRequest request = RequestOf(args);
        CheckCutoff("--low", request.lowHz, args.low, request.rate);
        CheckCutoff("--high", request.highHz, args.high, request.rate);
        if (args.response && format->count() && !QFormatOf(args.format))
            throw CLI::ValidationError("--response", Refusal("alone or with a Q format (q15, "
                                                             "q31, c-q15, c-q31) as --format",
                                                             args.format));
        args.textAsked =
            args.plot.empty() || format->count() || response->count() || output->count();
    });
}

std::string FormatTaps(const std::string& format, const double* coef, int count,
                       const DesignRequest& request, const FixedPointTaps* quantised) {
    if (format == "full")
        return FormatCoefficientsFull(coef, count);
    if (format == "c")
        return FormatCoefficientsC(coef, count, request);
    if (format == "q15" || format == "q31")
        return FormatFixedPoint(*quantised);
    if (format == "c-q15" || format == "c-q31")
        return FormatFixedPointC(coef, *quantised, request);
    return FormatCoefficientText(coef, count);
}

// The whole text goes out at once, so a file never receives part of it. The progress line is
// gone before anything reaches standard output, which may be the same terminal.
int Deliver(Console& console, const std::string& text, const std::string& path) {
    if (!path.empty()) {
        try {
            WriteTextFile(path, text, console.progress.Stage("writing"));
        } catch (const CFileException& e) {
            return Report(console, kFailed, e.Message());
        }
        return kDone;
    }
    console.progress.Erase();
    if (!console.out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        return Report(console, kFailed, "Writing to standard output failed.");
    return kDone;
}

// The double design's levels and, for a Q format, the quantised one's: what --response and
// --plot show. False when the spectrum cannot be computed (more than 1024 taps).
struct Levels {
    SpectrumLevels designed;
    SpectrumLevels quantised;
};

bool ComputeLevels(const double* coef, int count, const FixedPointTaps* quantised, Levels& levels) {
    if (ComputeLevelsDb(coef, count, levels.designed) < 0)
        return false;
    return !quantised ||
           ComputeLevelsDb(Dequantise(*quantised).data(), count, levels.quantised) >= 0;
}

std::string QuantisedLabel(const FixedPointTaps* quantised) {
    return quantised ? std::string(QFormatName(quantised->format)) + " taps" : "";
}

void WarnOfSaturation(Console& console, const FixedPointTaps& quantised) {
    if (quantised.saturated == 0)
        return;
    console.progress.Erase();
    console.err << kProgram << ": warning: " << crt::FormatD(quantised.saturated) << " of "
                << crt::FormatD(static_cast<int>(quantised.values.size())) << " taps saturated in "
                << QFormatName(quantised.format) << ", clipped to its range\n";
}

// Everything is computed before anything is written: a design, quantisation or spectrum
// failure leaves no output behind.
int Run(Console& console, const Arguments& args) {
    const DesignRequest request = RequestOf(args);
    std::shared_ptr<double[]> coef;
    int count = 0;
    if (DesignFilter(coef, count, request.order, NormalisedCutoff(request.lowHz, request.rate),
                     NormalisedCutoff(request.highHz, request.rate), 0,
                     console.progress.Stage("designing")) < 0)
        return Report(console, kFailed, "Calculating FIR coefficients failed!");
    console.progress.Enter("formatting");
    std::optional<FixedPointTaps> quantised;
    if (const auto format = QFormatOf(args.format)) {
        try {
            quantised = Quantise(coef.get(), count, *format);
        } catch (const NoFixedPointForm& e) {
            return Report(console, kFailed, e.what());
        }
    }
    const FixedPointTaps* taps = quantised ? &*quantised : nullptr;
    Levels levels;
    if ((args.response || !args.plot.empty()) && !ComputeLevels(coef.get(), count, taps, levels))
        return Report(console, kFailed, "Calculating magnitude failed!");
    const SpectrumLevels* quantisedDb = taps ? &levels.quantised : nullptr;

    std::string text;
    if (args.textAsked)
        text = args.response ? FormatResponse(levels.designed, request.rate, quantisedDb)
                             : FormatTaps(args.format, coef.get(), count, request, taps);
    if (taps)
        WarnOfSaturation(console, *taps);
    if (args.textAsked && Deliver(console, text, args.output) != kDone)
        return kFailed;
    if (args.plot.empty())
        return kDone;
    return Deliver(console,
                   FormatResponseSvg(request, levels.designed, quantisedDb, QuantisedLabel(taps)),
                   args.plot);
}

} // namespace

int RunDesignCli(const std::vector<std::string>& arguments, const CliStreams& streams) {
    Console console{streams.out, streams.err, {streams.err, streams.errIsTerminal}};
    CLI::App app("Designs the Hamming-windowed FIR filter Taplore's Calculate designs and writes "
                 "its taps or its response.",
                 kProgram);
    Arguments args;
    DescribeOptions(app, args);
    // CLI11 takes the words last first.
    std::vector<std::string> words(arguments.rbegin(), arguments.rend());
    try {
        app.parse(words);
    } catch (const CLI::Success& e) {
        return app.exit(e, console.out, console.err); // --help or --version
    } catch (const CLI::ExtrasError& e) {
        // A word that belongs to no option: say how values are given.
        return Report(console, kRefused,
                      std::string(e.what()) +
                          " (each value follows its option, as in --order 511)");
    } catch (const CLI::ParseError& e) {
        return Report(console, kRefused, e.what());
    }
    try {
        return Run(console, args);
    } catch (const std::bad_alloc&) {
        return Report(console, kFailed, "Out of memory.");
    }
}
