#include "cli/output.h"

#include "core/analysis/log_magnitude.h"
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/formats/response_plot.h"
#include "core/formats/response_text.h"
#include "core/io/file_output.h"

#include <optional>

namespace {

std::string FormatTaps(const std::string& format, const Design& design,
                       const FixedPointTaps* quantised) {
    const double* coef = design.taps.get();
    if (format == "full")
        return FormatCoefficientsFull(coef, design.count);
    if (format == "c")
        return FormatCoefficientsC(coef, design.count, design.description);
    if (format == "q15" || format == "q31")
        return FormatFixedPoint(*quantised);
    if (format == "c-q15" || format == "c-q31")
        return FormatFixedPointC(coef, *quantised, design.description);
    return FormatCoefficientText(coef, design.count);
}

// The whole text goes out at once, so a file never receives part of it. The progress line is
// gone before anything reaches standard output, which may be the same terminal.
int Deliver(Console& console, const std::string& text, const std::string& path) {
    if (!ToStandardOutput(path)) {
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
    Warn(console, "warning: " + crt::FormatD(quantised.saturated) + " of " +
                      crt::FormatD(static_cast<int>(quantised.values.size())) +
                      " taps saturated in " + std::string(QFormatName(quantised.format)) +
                      ", clipped to its range");
}

} // namespace

int WriteOutputs(Console& console, const Options& options, const Design& design) {
    console.progress.Enter("formatting");
    const double* coef = design.taps.get();
    std::optional<FixedPointTaps> quantised;
    if (const auto format = QFormatOf(options.format)) {
        try {
            quantised = Quantise(coef, design.count, *format);
        } catch (const NoFixedPointForm& e) {
            return Report(console, kFailed, e.what());
        }
    }
    const FixedPointTaps* taps = quantised ? &*quantised : nullptr;
    Levels levels;
    if ((options.response || !options.plot.empty()) &&
        !ComputeLevels(coef, design.count, taps, levels))
        return Report(console, kFailed, "Calculating magnitude failed!");
    const SpectrumLevels* quantisedDb = taps ? &levels.quantised : nullptr;

    std::string text;
    if (options.textAsked)
        text = options.response
                   ? FormatResponse(levels.designed, design.description.rate, quantisedDb)
                   : FormatTaps(options.format, design, taps);
    if (taps)
        WarnOfSaturation(console, *taps);
    if (options.textAsked && Deliver(console, text, options.output) != kDone)
        return kFailed;
    if (options.plot.empty())
        return kDone;
    return Deliver(
        console,
        FormatResponseSvg(design.description, levels.designed, quantisedDb, QuantisedLabel(taps)),
        options.plot);
}
