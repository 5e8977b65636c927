#include "core/formats/taps_description.h"

#include "core/formats/crt.h"

#include <string_view>

namespace taplore {

namespace {

std::string_view BandTypeName(BandType type) {
    switch (type) {
    case BandType::lowPass:
        return "low-pass";
    case BandType::highPass:
        return "high-pass";
    case BandType::bandPass:
        return "band-pass";
    case BandType::bandStop:
        return "band-stop";
    case BandType::none:
        break;
    }
    return "no band type matched";
}

} // namespace

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
