#pragma once
// What an output says about the design its taps come from.

#include "core/design/fir_design.h"

#include <string>
#include <vector>

namespace taplore {

struct TapsDescription {
    std::string title;              // one line naming the design
    std::vector<std::string> notes; // further lines, each one line
    double rate = 0.0;              // the sampling rate in Hz
};

// The dialog's design: DescribeRequest's line and the request's rate.
TapsDescription DescribeDesign(const DesignRequest& request);

} // namespace taplore
