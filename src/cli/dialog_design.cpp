#include "cli/dialog_design.h"

#include "core/design/fir_design.h"
#include "core/design/window_functions.h"
#include "core/formats/crt.h"

namespace {

// The dialog's words for its design, naming the window where it is not the dialog's own.
taplore::TapsDescription Describe(const DesignRequest& request, const Options& options) {
    taplore::TapsDescription description = taplore::DescribeRequest(request);
    const WindowChoice window = WindowOf(options);
    if (window.kind == taplore::WindowKind::hamming)
        return description;
    const std::string name = options.window.substr(0, options.window.find(':'));
    description.title += ", " + name + " window";
    if (window.kind == taplore::WindowKind::kaiser)
        description.title += " (beta " + crt::FormatShortest(window.parameter) + ")";
    return description;
}

} // namespace

int DesignAsTheDialog(Console& console, const Options& options, Design& design) {
    const DesignRequest request = RequestOf(options);
    const WindowChoice window = WindowOf(options);
    if (taplore::DesignWindowFilter(design.taps, design.count, request.order,
                                    NormalisedCutoff(request.lowHz, request.rate),
                                    NormalisedCutoff(request.highHz, request.rate), window.kind,
                                    window.parameter, 0, console.progress.Stage("designing")) < 0)
        return Report(console, kFailed, "Calculating FIR coefficients failed!");
    design.description = Describe(request, options);
    return kDone;
}
