#include "core/formats/multirate_report.h"

#include "core/formats/crt.h"
#include "core/formats/requirements_report.h"

#include <cmath>

namespace taplore {

namespace {

bool Decimates(const MultirateDesign& design) {
    return design.ask.change == RateChange::decimate;
}

std::string PerSample(const MultirateDesign& design) {
    return Decimates(design) ? "per input sample" : "per output sample";
}

std::string Hz(double hz) {
    return crt::FormatShortest(hz) + " Hz";
}

// "decimate by 64 in 3 stages, 3072000 Hz to 48000 Hz"
std::string ChangeLine(const MultirateDesign& design) {
    const RateChangeAsk& ask = design.ask;
    const int count = static_cast<int>(design.stages.size());
    const bool down = Decimates(design);
    std::string line = (down ? "decimate by " : "interpolate by ") + crt::FormatD(ask.factor);
    line += count == 1 ? " in one stage" : " in " + crt::FormatD(count) + " stages";
    line += ", " + Hz(down ? ask.rate : LowRate(ask)) + " to " + Hz(down ? LowRate(ask) : ask.rate);
    if (ask.alias == AliasRule::none)
        line += ", nothing aliased below " + Hz(LowRate(ask) / 2);
    if (!down)
        line += ", gain " + crt::FormatD(ask.factor);
    return line;
}

// "stage 2: 4 at 768000 Hz, 27 taps, 1.69 multiplications per input sample"
std::string StageLine(const MultirateDesign& design, std::size_t i, double before) {
    const Stage& stage = design.stages[i];
    const int taps = static_cast<int>(stage.design.taps.size());
    return "stage " + crt::FormatD(static_cast<int>(i) + 1) + ": " +
           crt::FormatD(stage.spot.factor) + " at " + Hz(stage.spot.rate) + ", " +
           crt::FormatD(taps) + " taps, " + RoundedText(taps / (before * stage.spot.factor), 2) +
           " multiplications " + PerSample(design);
}

std::string TotalLine(const MultirateDesign& design, double total) {
    const PlanCost& one = design.oneStage;
    std::string line =
        "total: " + RoundedText(total, 2) + " multiplications " + PerSample(design) + ", against ";
    if (one.designed)
        return line + RoundedText(one.multiplications, 2) + " for one stage of " +
               crt::FormatD(one.taps.front()) + " taps";
    return line + "about " + RoundedText(one.estimated, 2) + " for one stage of about " +
           crt::FormatD(one.estimatedTaps.front()) + " taps (estimated)";
}

std::string CascadeLine(const MultirateDesign& design) {
    const CascadeFigures& c = design.cascade;
    const RateChangeAsk& ask = design.ask;
    return "cascade, measured: pass 0 to " + Hz(ask.passHz) + ": ripple " +
           RoundedText(c.rippleDb, 4) + " dB (" + crt::FormatShortest(ask.rippleDb) +
           " dB asked); aliased: attenuation " + RoundedText(c.attenuationDb, 2) + " dB at " +
           RoundedText(c.worstHz, 1) + " Hz" + " (" + crt::FormatShortest(ask.attenuationDb) +
           " dB asked)" + (c.met ? "" : ", missed");
}

// "plans compared, multiplications per input sample estimated (designed): 4x4x4 6.2 (5.9),
// 8x8 7.1, ..."
std::string ComparedLine(const MultirateDesign& design) {
    std::string line =
        "plans compared, multiplications " + PerSample(design) + " estimated (designed): ";
    for (std::size_t i = 0; i < design.compared.size(); ++i) {
        const PlanCost& plan = design.compared[i];
        line +=
            (i == 0 ? "" : ", ") + FactorsText(plan.factors) + " " + RoundedText(plan.estimated, 2);
        if (plan.designed)
            line +=
                " (" + RoundedText(plan.multiplications, 2) + (plan.met ? "" : ", missed") + ")";
    }
    return line;
}

std::string LatencyLine(const MultirateDesign& design) {
    const double high = LatencyAtHighRate(design.stages);
    const RateChangeAsk& ask = design.ask;
    return "latency: " + RoundedText(high, 3) + " samples at " + Hz(ask.rate) + ", " +
           RoundedText(high / ask.factor, 3) + " at " + Hz(LowRate(ask));
}

} // namespace

std::string RoundedText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return crt::FormatShortest(std::round(value * scale) / scale + 0.0);
}

std::string StageCurveName(const MultirateDesign& design, std::size_t stage) {
    const std::string sign = design.ask.change == RateChange::decimate ? "\u00f7" : "\u00d7";
    return "stage " + crt::FormatD(static_cast<int>(stage) + 1) + " (" + sign +
           crt::FormatD(design.stages[stage].spot.factor) + ")";
}

double LatencyAtHighRate(const std::vector<Stage>& stages) {
    double latency = 0.0, before = 1.0;
    for (const Stage& stage : stages) {
        latency += (static_cast<double>(stage.design.taps.size()) - 1) / 2 * before;
        before *= stage.spot.factor;
    }
    return latency;
}

std::vector<std::string> FormatMultirateReport(const MultirateDesign& design) {
    std::vector<std::string> lines{ChangeLine(design)};
    if (design.stages.size() == 1) {
        for (std::string& line : FormatReport(design.stages.front().design.report))
            lines.push_back(std::move(line));
    }
    double before = 1.0, total = 0.0;
    for (std::size_t i = 0; i < design.stages.size(); ++i) {
        lines.push_back(StageLine(design, i, before));
        before *= design.stages[i].spot.factor;
        total += design.stages[i].design.taps.size() / before;
    }
    if (design.stages.size() > 1 || !design.oneStage.designed)
        lines.push_back(TotalLine(design, total));
    lines.push_back(CascadeLine(design));
    if (design.compared.size() > 1)
        lines.push_back(ComparedLine(design));
    lines.push_back(LatencyLine(design));
    return lines;
}

TapsDescription DescribeMultirate(const MultirateDesign& design) {
    std::vector<std::string> lines = FormatMultirateReport(design);
    std::string title = std::move(lines.front());
    lines.erase(lines.begin());
    return {std::move(title), std::move(lines), design.ask.rate};
}

} // namespace taplore
