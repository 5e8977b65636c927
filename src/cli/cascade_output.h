#pragma once
// What the response, the views and the plot show of a filter beside a change of rate: a
// cascade as the one filter it equals at the high rate, drawn with its stages and the
// frequencies that fold; a CIC compensator drawn with its CIC.

#include "cli/output.h"
#include "cli/request.h"

#include <string>
#include <vector>

// The filter the views and --response show: the taps written or a rate change's cascade, and
// with a format's width the quantised taps too (a cascade's quantised stage by stage).
struct ViewedFilter {
    std::vector<double> taps;
    std::vector<double> quantised; // empty without a width
    std::string quantisedLabel;    // "Q15 taps"
    int points = 0;                // the transform of --response and the plot

    // The taps the views show: the quantised ones where there are.
    const std::vector<double>& Shown() const;
};
ViewedFilter ViewedOf(const Request& request, const Design& design,
                      const FixedPointTaps* quantised);

// Whether the plot of design is a rate change's or a CIC compensator's.
bool DrawsRateChange(const Design& design);

// The --plot image of a rate change (the cascade at the high rate, each stage dashed, the
// frequencies that fold shaded) or of a CIC compensator (the CIC, the FIR and the cascade).
// False when the levels cannot be computed.
bool RateChangeImage(const Request& request, const Design& design, const ViewedFilter& viewed,
                     std::string& image);
