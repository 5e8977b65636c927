#include "cli/dialog_design.h"

#include "core/design/fir_design.h"
#include "core/design/window_functions.h"
#include "core/formats/crt.h"

namespace {

// The dialog's words for its design, naming the window where it is not the dialog's own.
taplore::TapsDescription Describe(const DesignRequest& request, const WindowChoice& window) {
    taplore::TapsDescription description = taplore::DescribeRequest(request);
    if (window.kind == taplore::WindowKind::hamming)
        return description;
    description.title += ", " + std::string(taplore::InfoOf(window.kind).name) + " window";
    if (window.kind == taplore::WindowKind::kaiser)
        description.title += " (beta " + crt::FormatShortest(window.parameter) + ")";
    return description;
}

} // namespace

int DesignAsTheDialog(Console& console, const Request& asked, Design& design) {
    const DesignRequest request = asked.Dialog();
    const WindowChoice& window = asked.window;
    if (taplore::DesignWindowFilter(design.taps, design.count, request.order,
                                    NormalisedCutoff(request.lowHz, request.rate),
                                    NormalisedCutoff(request.highHz, request.rate), window.kind,
                                    window.parameter, 0, console.progress.Stage("designing")) < 0)
        return Report(console, kFailed, "Calculating FIR coefficients failed!");
    design.description = Describe(request, window);
    return kDone;
}
