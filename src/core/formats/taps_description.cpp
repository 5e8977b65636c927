#include "core/formats/taps_description.h"

#include "core/formats/crt.h"

namespace taplore {

TapsDescription DescribeRequest(const DesignRequest& request) {
    const BandType type = SelectBand(NormalisedCutoff(request.lowHz, request.rate),
                                     NormalisedCutoff(request.highHz, request.rate));
    std::string title(BandTypeName(type));
    title += ", order " + crt::FormatD(request.order);
    title += ", rate " + crt::FormatShortest(request.rate);
    title += " Hz, cutoffs " + crt::FormatShortest(request.lowHz);
    title += " Hz and " + crt::FormatShortest(request.highHz) + " Hz";
    return {title, {}, request.rate};
}

} // namespace taplore
