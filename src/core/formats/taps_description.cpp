#include "core/formats/taps_description.h"

#include "core/formats/coef_format.h"

namespace taplore {

TapsDescription DescribeDesign(const DesignRequest& request) {
    return {DescribeRequest(request), {}, request.rate};
}

} // namespace taplore
