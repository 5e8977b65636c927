#include "core/dialog/response_summary.h"

#include "core/analysis/log_magnitude.h"
#include "core/formats/crt.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace taplore {
namespace {

constexpr int kFirstPlotted = 1; // bin 0 is not drawn
constexpr double kEdgeDb = 3.0;

// The highest plotted level; not a number as soon as one level is not.
double PeakDb(const double* levels, int count) {
    double peak = -HUGE_VAL;
    for (int k = kFirstPlotted; k < count; ++k) {
        if (std::isnan(levels[k]))
            return NAN;
        peak = std::max(peak, levels[k]);
    }
    return peak;
}

// Where the level crosses threshold between bins k and k + 1, in bins.
double Crossing(const double* levels, int k, double threshold) {
    // From a silent bin (-inf dB) the crossing lies on its neighbour.
    if (std::isinf(levels[k]))
        return k + 1;
    return k + (levels[k] - threshold) / (levels[k] - levels[k + 1]);
}

struct BinRun {
    int first;
    int last;
};

// The runs of bins at or above threshold: the pass bands, in bins.
std::vector<BinRun> PassRuns(const double* levels, int count, double threshold) {
    std::vector<BinRun> runs;
    for (int k = kFirstPlotted; k < count; ++k) {
        if (levels[k] < threshold)
            continue;
        if (!runs.empty() && runs.back().last == k - 1)
            runs.back().last = k;
        else
            runs.push_back({k, k});
    }
    return runs;
}

// Marks a transition: from the bin just past a pass band edge, stepping away from the band,
// as long as the level does not rise again; the first dip is the transition's last bin.
void MarkTransition(const double* levels, int count, int from, int step,
                    std::vector<bool>& covered) {
    for (int k = from;; k += step) {
        covered[k] = true;
        const int next = k + step;
        if (next < kFirstPlotted || next >= count || levels[next] > levels[k])
            return;
    }
}

std::string Decimal(double value) {
    std::string text = crt::FormatF8_1(value);
    text.erase(0, text.find_first_not_of(' '));
    // A level just below 0 dB reads as 0, not as "minus 0".
    return text == "-0.0" ? "0.0" : text;
}

std::string Hz(double value) {
    return Decimal(value) + " Hz";
}

std::string Db(double value) {
    return Decimal(value) + " dB";
}

// "Band-pass", as a sentence begins.
std::string BandSentence(BandType band) {
    std::string name(BandTypeName(band));
    name.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(name.front())));
    return name + ". ";
}

std::string PassBandText(const PassBand& pass) {
    if (pass.lowEdgeHz && pass.highEdgeHz)
        return Hz(*pass.lowEdgeHz) + " to " + Hz(*pass.highEdgeHz);
    if (pass.lowEdgeHz)
        return "from " + Hz(*pass.lowEdgeHz);
    if (pass.highEdgeHz)
        return "up to " + Hz(*pass.highEdgeHz);
    return "the whole plot";
}

// "A", "A and B", "A, B and C".
std::string PassBandsText(const std::vector<PassBand>& passBands) {
    std::string text;
    for (std::size_t i = 0; i < passBands.size(); ++i) {
        if (i > 0)
            text += i + 1 == passBands.size() ? " and " : ", ";
        text += PassBandText(passBands[i]);
    }
    return text;
}

} // namespace

ResponseSummary SummariseResponse(const double* levelsDb, int count, double rate, BandType band) {
    ResponseSummary summary;
    summary.band = band;
    summary.peakDb = PeakDb(levelsDb, count);
    if (!std::isfinite(summary.peakDb))
        return summary;
    const double threshold = summary.peakDb - kEdgeDb;
    const double binHz = rate / kSpectrumPoints;
    std::vector<bool> covered(static_cast<std::size_t>(count), false);
    for (const BinRun& run : PassRuns(levelsDb, count, threshold)) {
        std::fill(covered.begin() + run.first, covered.begin() + run.last + 1, true);
        PassBand pass;
        if (run.first > kFirstPlotted) {
            pass.lowEdgeHz = Crossing(levelsDb, run.first - 1, threshold) * binHz;
            MarkTransition(levelsDb, count, run.first - 1, -1, covered);
        }
        if (run.last + 1 < count) {
            pass.highEdgeHz = Crossing(levelsDb, run.last, threshold) * binHz;
            MarkTransition(levelsDb, count, run.last + 1, +1, covered);
        }
        summary.passBands.push_back(pass);
    }
    for (int k = kFirstPlotted; k < count; ++k)
        if (!covered[static_cast<std::size_t>(k)])
            summary.stopBandDb = std::max(summary.stopBandDb.value_or(-HUGE_VAL), levelsDb[k]);
    return summary;
}

std::string DescribeResponse(const ResponseSummary& summary) {
    std::string text = BandSentence(summary.band);
    if (summary.peakDb == -HUGE_VAL)
        return text + "The level is -inf dB at every frequency.";
    if (!std::isfinite(summary.peakDb))
        return text + "The levels are not finite numbers.";
    text += summary.passBands.size() == 1 ? "Pass band" : "Pass bands";
    text +=
        " at -3 dB: " + PassBandsText(summary.passBands) + ". Peak " + Db(summary.peakDb) + ". ";
    text +=
        summary.stopBandDb ? "Stop band at most " + Db(*summary.stopBandDb) + "." : "No stop band.";
    return text;
}

} // namespace taplore
