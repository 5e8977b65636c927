#include "cli/cascade_output.h"

#include "core/analysis/log_magnitude.h"
#include "core/design/requirements.h"
#include "core/formats/multirate_report.h"
#include "core/formats/response_plot.h"
#include "core/multirate/cascade_response.h"

#include <cmath>
#include <span>

namespace {

using namespace taplore;

// Four points a tap of the filter a cascade equals, so that the lobes of its stop bands show.
constexpr int kCascadePointsPerTap = 4;

std::string QuantisedLabel(QFormat width) {
    return QFormatName(width) + " taps";
}

// The pass band kept within the ripple from 0 to passHz.
RequiredBand PassRequired(double passHz, double rippleDb) {
    const double pass = PassDeviation(rippleDb);
    return {0.0, passHz, 20 * std::log10(1 - pass), 20 * std::log10(1 + pass)};
}

std::string AliasedLabel(const RateChangeAsk& ask) {
    const bool images = ask.change == RateChange::interpolate;
    if (ask.alias == AliasRule::none)
        return images ? "images below half the low rate" : "folds below half the low rate";
    return images ? "images of the pass band" : "folds onto the pass band";
}

// The plot's scale reaches 10 dB below the attenuation asked.
int DbPerStep(double attenuationDb) {
    return DbPerStepFor(attenuationDb + 10);
}

bool CascadeImage(const Request& request, const Design& design, int points, std::string& image) {
    const MultirateDesign& multirate = *design.multirate;
    const RateChangeAsk& ask = multirate.ask;
    const std::vector<CascadeStage> stages = CascadeStages(multirate);
    CascadeLevels levels, quantised;
    const auto width = request.Width();
    if (!ComputeCascadeLevels(stages, points, levels) ||
        (width && !ComputeCascadeLevels(RoundedStages(stages, *width), points, quantised)))
        return false;
    std::vector<PlotCurve> curves{{levels.cascade, "cascade", CurveRole::whole}};
    if (width)
        curves.push_back({quantised.cascade, QuantisedLabel(*width), CurveRole::quantised});
    // One stage is the cascade itself.
    for (std::size_t i = 0; stages.size() > 1 && i < stages.size(); ++i)
        curves.push_back({levels.stages[i], StageCurveName(multirate, i), CurveRole::part});
    const std::vector<FrequencySpan> aliased = AliasSpans(ask);
    const RequiredBand required[] = {PassRequired(ask.passHz, ask.rippleDb)};
    image = FormatCurvesSvg(design.description, curves, required, {aliased, AliasedLabel(ask)},
                            DbPerStep(ask.attenuationDb));
    return true;
}

std::vector<double> Added(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> sum(a.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        sum[k] = a[k] + b[k];
    return sum;
}

// The CIC at the FIR's rate, the FIR, and their product; the frequencies the FIR's own
// decimation folds onto the pass band shaded.
bool CicImage(const Request& request, const Design& design, const ViewedFilter& viewed,
              std::string& image) {
    const CompensatorAsk& ask = *design.cic;
    const int count = static_cast<int>(viewed.taps.size());
    std::vector<double> fir, quantisedFir;
    if (!ComputeLevelsDb(viewed.taps.data(), count, viewed.points, fir) ||
        (!viewed.quantised.empty() &&
         !ComputeLevelsDb(viewed.quantised.data(), count, viewed.points, quantisedFir)))
        return false;
    const std::vector<double> cic = CicLevelsDb(ask, viewed.points);
    const std::vector<double> cascade = Added(cic, fir);
    const std::vector<double> quantised =
        quantisedFir.empty() ? quantisedFir : Added(cic, quantisedFir);
    std::vector<PlotCurve> curves{{cascade, "cascade", CurveRole::whole}};
    if (!quantised.empty())
        curves.push_back({quantised, viewed.quantisedLabel, CurveRole::quantised});
    curves.push_back({cic, "CIC " + request.cic->text, CurveRole::part});
    curves.push_back({fir, "FIR", CurveRole::part});
    RateChangeAsk folding;
    folding.factor = ask.decimate;
    folding.rate = ask.rate;
    folding.passHz = ask.passHz;
    const std::vector<FrequencySpan> aliased =
        ask.decimate > 1 ? AliasSpans(folding) : std::vector<FrequencySpan>{};
    const RequiredBand required[] = {PassRequired(ask.passHz, ask.rippleDb),
                                     {ask.stopHz, ask.rate / 2, -HUGE_VAL, -ask.attenuationDb}};
    image = FormatCurvesSvg(design.description, curves, required, {aliased, AliasedLabel(folding)},
                            DbPerStep(ask.attenuationDb));
    return true;
}

} // namespace

const std::vector<double>& ViewedFilter::Shown() const {
    return quantised.empty() ? taps : quantised;
}

ViewedFilter ViewedOf(const Request& request, const Design& design,
                      const FixedPointTaps* quantised) {
    ViewedFilter viewed;
    const auto width = request.Width();
    if (width)
        viewed.quantisedLabel = QuantisedLabel(*width);
    if (!design.multirate) {
        viewed.taps.assign(design.taps.get(), design.taps.get() + design.count);
        if (quantised)
            viewed.quantised = Dequantise(*quantised);
        viewed.points = design.responsePoints;
        return viewed;
    }
    const std::vector<CascadeStage> stages = CascadeStages(*design.multirate);
    viewed.taps = EquivalentTaps(stages);
    if (width)
        viewed.quantised = EquivalentTaps(RoundedStages(stages, *width));
    viewed.points = ResponsePoints(kCascadePointsPerTap * static_cast<int>(viewed.taps.size()));
    return viewed;
}

bool DrawsRateChange(const Design& design) {
    return design.multirate || design.cic;
}

bool RateChangeImage(const Request& request, const Design& design, const ViewedFilter& viewed,
                     std::string& image) {
    return design.cic ? CicImage(request, design, viewed, image)
                      : CascadeImage(request, design, viewed.points, image);
}
