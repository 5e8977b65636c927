#pragma once
// A plotted response in a few words, for those who cannot see the plot: the band type, where
// each pass band ends 3 dB below the peak, the peak level and the stop band's highest level.

#include "core/design/fir_design.h"

#include <optional>
#include <string>
#include <vector>

namespace taplore {

// A pass band's edges in Hz, where its level crosses 3 dB below the peak. An edge is missing
// where the band runs on to the end of the plot.
struct PassBand {
    std::optional<double> lowEdgeHz;
    std::optional<double> highEdgeHz;
};

struct ResponseSummary {
    BandType band = BandType::none;
    // The highest level: not a number when some level is not, -inf when the filter is silent.
    // The fields below are filled only when it is finite.
    double peakDb = 0.0;
    std::vector<PassBand> passBands; // from low to high frequencies
    // The highest level past the transitions, which fall from each pass band edge to the
    // first dip; nothing when no frequency lies there.
    std::optional<double> stopBandDb;
};

// Summarises the plotted bins 1 ... count - 1 of levelsDb (bin 0, DC, is not drawn); bin k
// stands for k * rate / kSpectrumPoints Hz. Between two bins the level is taken as linear in
// dB.
ResponseSummary SummariseResponse(const double* levelsDb, int count, double rate, BandType band);

// The summary in a few short sentences, with one decimal and "." whatever the locale, e.g.
// "Band-pass. Pass band at -3 dB: 406.3 Hz to 2394.5 Hz. Peak 0.0 dB. Stop band at most
// -53.1 dB."
std::string DescribeResponse(const ResponseSummary& summary);

} // namespace taplore
