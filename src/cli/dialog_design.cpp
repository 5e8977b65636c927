#include "cli/dialog_design.h"

#include "core/design/fir_design.h"

int DesignAsTheDialog(Console& console, const Options& options, Design& design) {
    const DesignRequest request = RequestOf(options);
    if (DesignFilter(design.taps, design.count, request.order,
                     NormalisedCutoff(request.lowHz, request.rate),
                     NormalisedCutoff(request.highHz, request.rate), 0,
                     console.progress.Stage("designing")) < 0)
        return Report(console, kFailed, "Calculating FIR coefficients failed!");
    design.description = taplore::DescribeRequest(request);
    return kDone;
}
