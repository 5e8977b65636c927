#pragma once
// What a set of taps is, in words, for the comments, headers and titles of everything written
// from them: the dialog's designs and any other taps alike.

#include "core/design/fir_design.h"

#include <string>
#include <vector>

namespace taplore {

struct TapsDescription {
    std::string title;              // one line naming the design
    std::vector<std::string> notes; // further lines, such as the figures a design reached
    double rate = 0.0;              // the sampling rate in Hz, for frequency axes
};

// The dialog's design: "band-pass, order 511, rate 8000 Hz, cutoffs 400 Hz and 2400 Hz", with
// the band type the request's cutoffs select; no notes.
TapsDescription DescribeRequest(const DesignRequest& request);

} // namespace taplore
