#include "cli/output.h"

#include "cli/cascade_output.h"
#include "cli/multirate_design.h"
#include "cli/polyphase_output.h"
#include "core/analysis/log_magnitude.h"
#include "core/analysis/views.h"
#include "core/analysis/zeros.h"
#include "core/fixed/fewest_bits.h"
#include "core/formats/crt.h"
#include "core/formats/exports/export.h"
#include "core/formats/requirements_report.h"
#include "core/formats/response_plot.h"
#include "core/formats/response_text.h"
#include "core/formats/view_text.h"
#include "core/formats/zeros_plot.h"
#include "core/formats/zeros_text.h"
#include "core/io/file_output.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>
#include <vector>

void Design::SetTaps(const std::vector<double>& designed) {
    count = static_cast<int>(designed.size());
    taps = std::shared_ptr<double[]>(new double[count]);
    std::copy(designed.begin(), designed.end(), taps.get());
    responsePoints = ResponsePoints(count);
}

bool Design::IsPlan() const {
    return multirate && multirate->stages.size() > 1;
}

// The whole text goes out at once, so a file never receives part of it. The progress line is
// gone before anything reaches standard output, which may be the same terminal.
int WriteStandardOutput(Console& console, const std::string& text) {
    console.progress.Erase();
    if (!console.out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        return Report(console, kFailed, "Writing to standard output failed.");
    return kDone;
}

int WriteText(Console& console, const std::string& path, const std::string& text) {
    if (ToStandardOutput(path))
        return WriteStandardOutput(console, text);
    try {
        WriteTextFile(path, text);
    } catch (const CFileException& e) {
        return Report(console, kFailed, e.Message());
    }
    return kDone;
}

namespace {

// The text and the image, once computed; either may be left empty when not asked for.
struct Texts {
    std::string text, image;
};

// The double design's levels and, for a Q format, the quantised one's: what --response and
// --plot show. False when the spectrum cannot be computed (more taps than the transform has
// points: the dialog's designs of more than 1024 taps).
struct Levels {
    std::vector<double> designed;
    std::vector<double> quantised;
};

bool ComputeLevels(const ViewedFilter& viewed, Levels& levels) {
    const int count = static_cast<int>(viewed.taps.size());
    if (!ComputeLevelsDb(viewed.taps.data(), count, viewed.points, levels.designed))
        return false;
    return viewed.quantised.empty() ||
           ComputeLevelsDb(viewed.quantised.data(), count, viewed.points, levels.quantised);
}

void WarnOfSaturation(Console& console, const FixedPointTaps& quantised) {
    if (quantised.saturated == 0)
        return;
    Warn(console, "warning: " + crt::FormatD(quantised.saturated) + " of " +
                      crt::FormatD(static_cast<int>(quantised.values.size())) +
                      " taps saturated in " + std::string(QFormatName(quantised.format)) +
                      ", clipped to its range");
}

// --view: the chosen views of the taps written, on a grid of --points, for any number of taps.
Texts ViewTexts(const Request& request, const Design& design, const ViewedFilter& viewed) {
    const taplore::FrequencyGrid grid(request.points.value);
    const taplore::ResponseViews views = taplore::ComputeViews(viewed.Shown(), grid);
    const std::vector<taplore::View> chosen = request.views;
    Texts texts;
    if (request.textAsked)
        texts.text = taplore::FormatViewTable(views, chosen, grid, design.description.rate);
    if (!request.plot.empty())
        texts.image = FormatViewsSvg(design.description, views, chosen);
    return texts;
}

// "zeros: 40 found in 9 sweeps; the largest residual 2.1e-16 (|H| there over the taps'
// 1-norm)", and those at infinity, a delay of leading zero taps.
std::string ZerosReport(const taplore::TapZeros& zeros) {
    std::string line = "zeros: " + crt::FormatD(static_cast<int>(zeros.zeros.size())) +
                       " found in " + crt::FormatD(zeros.sweeps) + " sweeps";
    if (zeros.atInfinity > 0)
        line += ", " + crt::FormatD(zeros.atInfinity) + " at infinity";
    return line + "; the largest residual " + crt::FormatG(zeros.largestResidual, 2) +
           " (|H| there over the taps' 1-norm)";
}

// --view zeros: the zeros of the taps written as a list and, with --plot, in the z-plane, with
// their accuracy on standard error. Returns kDone, or kFailed after saying why there are none.
int ZerosTexts(Console& console, const Request& request, const Design& design,
               const ViewedFilter& viewed, Texts& texts) {
    console.progress.Enter("finding the zeros");
    const taplore::TapZeros zeros = taplore::FindZeros(viewed.Shown());
    if (!zeros.problem.empty())
        return Report(console, kFailed, "The zeros could not be found: " + zeros.problem);
    if (!request.quiet)
        ShowReport(console, {ZerosReport(zeros), {}, 0.0});
    if (request.textAsked)
        texts.text = taplore::FormatZerosText(zeros);
    if (!request.plot.empty())
        texts.image = taplore::FormatZerosSvg(design.description, zeros);
    return kDone;
}

// --response and the magnitude plot: the dialog's 512 bins, so orders up to 1023, or as many
// as a design to requirements or a cascade needs. False when the spectrum cannot be computed.
bool ResponseTexts(const Request& request, const Design& design, const ViewedFilter& viewed,
                   Texts& texts) {
    Levels levels;
    if (!ComputeLevels(viewed, levels))
        return false;
    if (request.textAsked && request.response)
        texts.text = FormatResponse(levels.designed, design.description.rate, levels.quantised);
    if (request.plot.empty())
        return true;
    if (DrawsRateChange(design))
        return RateChangeImage(request, design, viewed, texts.image);
    texts.image = FormatResponseSvg(design.description, levels.designed, levels.quantised,
                                    viewed.quantisedLabel, design.required);
    return true;
}

// The zeros, the views, the response or the image asked, of the filter they show; kDone when
// none is asked.
int AnalysisTexts(Console& console, const Request& request, const Design& design,
                  const FixedPointTaps* quantised, Texts& texts) {
    if (request.TapsAsked() && request.plot.empty())
        return kDone;
    ViewedFilter viewed;
    try {
        viewed = ViewedOf(request, design, quantised);
    } catch (const NoFixedPointForm& e) {
        return Report(console, kFailed, e.what());
    }
    if (request.ZerosAsked())
        return ZerosTexts(console, request, design, viewed, texts);
    if (!request.views.empty())
        texts = ViewTexts(request, design, viewed);
    else if (!ResponseTexts(request, design, viewed, texts))
        return Report(console, kFailed, "Calculating magnitude failed!");
    return kDone;
}

// The taps in the chosen format, through the format table. A design to requirements is
// described by what the output's taps reach, with a warning where they miss what the
// design's own meet.
std::string TapsText(Console& console, const Request& request, const Design& design,
                     const FixedPointTaps* quantised) {
    const std::span<const double> taps(design.taps.get(), static_cast<std::size_t>(design.count));
    const taplore::ExportFormat& format = *request.format.format;
    const auto rateChange = DesignRateFactor(request, design);
    if (!design.report)
        return format.write({taps, quantised, design.description, request.Block(), rateChange,
                             request.Arithmetic()});
    taplore::WrittenReport written =
        taplore::ReportAsWritten(*design.report, format, taps, quantised);
    if (design.phase)
        DescribePhase(*design.phase, written.description);
    if (!written.shortfall.empty())
        Warn(console, "warning: the taps as --format " + std::string(format.name) +
                          " writes them miss the requirements: " + written.shortfall +
                          "; --format full keeps every digit");
    return format.write(
        {taps, quantised, written.description, request.Block(), rateChange, request.Arithmetic()});
}

} // namespace

int Deliver(Console& console,
            const std::vector<std::pair<const std::string*, std::string>>& outputs) {
    std::vector<PreparedTextFile> prepared;
    try {
        for (const auto& [text, path] : outputs)
            if (!ToStandardOutput(path))
                prepared.emplace_back(path, *text, console.progress.Stage("writing"));
    } catch (const CFileException& e) {
        return Report(console, kFailed, e.Message());
    }
    for (const auto& [text, path] : outputs)
        if (ToStandardOutput(path) && WriteStandardOutput(console, *text) != kDone)
            return kFailed;
    try {
        for (PreparedTextFile& file : prepared)
            file.Commit();
    } catch (const CFileException& e) {
        return Report(console, kFailed, e.Message());
    }
    return kDone;
}

FixedPointTaps QuantisedAsAsked(const Request& request, const Design& design, QFormat format) {
    const bool searched = request.searchRoundings && design.report;
    return QuantiseTaps({design.taps.get(), static_cast<std::size_t>(design.count)}, format,
                        searched ? &design.report->requirements : nullptr);
}

int WriteOutputs(Console& console, const Request& request, const Design& design) {
    if (const int status = CheckDecimatorBlock(console, request, design); status != kDone)
        return status;
    console.progress.Enter("formatting");
    std::optional<FixedPointTaps> quantised;
    // A plan's stages are quantised and written a file each by their own writer.
    if (const auto width = request.Width(); width && !design.IsPlan()) {
        try {
            quantised = QuantisedAsAsked(request, design, *width);
        } catch (const NoFixedPointForm& e) {
            return Report(console, kFailed, e.what());
        }
    }
    const FixedPointTaps* taps = quantised ? &*quantised : nullptr;
    Texts texts;
    if (const int status = AnalysisTexts(console, request, design, taps, texts); status != kDone)
        return status;
    if (request.TapsAsked()) {
        if ((design.multirate && !design.IsPlan()) || design.cic)
            WarnOfWrittenCascade(console, request, design, {taps});
        try {
            texts.text = TapsText(console, request, design, taps);
        } catch (const taplore::ExportRefused& e) {
            return Report(console, kFailed, e.what());
        }
    }
    if (taps)
        WarnOfSaturation(console, *taps);
    std::vector<std::pair<const std::string*, std::string>> outputs;
    if (request.textAsked)
        outputs.emplace_back(&texts.text, request.output);
    if (!request.plot.empty())
        outputs.emplace_back(&texts.image, request.plot);
    if (!request.saveDesign.empty())
        outputs.emplace_back(&design.document, request.saveDesign);
    return Deliver(console, outputs);
}
