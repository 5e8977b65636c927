#include "core/design/requirements_design.h"

#include "core/design/band_measure.h"
#include "core/design/fewest_taps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taplore {

void MeasureReport(const std::vector<double>& taps, RequirementsReport& report) {
    const Requirements& r = report.requirements;
    report.deviations = MeasureDeviations(taps, r);
    report.zeroTaps = static_cast<int>(std::count(taps.begin(), taps.end(), 0.0));
    report.peakToPeakDb.clear();
    const std::vector<GainRange> gains = MeasureGains(taps, r);
    for (std::size_t i = 0; i < gains.size(); ++i)
        report.peakToPeakDb.push_back(IsPassBand(r.bands[i]) && !r.bands[i].relative
                                          ? 20.0 * std::log10(gains[i].highest / gains[i].lowest)
                                          : std::numeric_limits<double>::quiet_NaN());
    report.lineDeviations.clear();
    if (AnyRelative(r))
        report.lineDeviations = MeasureDeviations(taps, Absolute(r));
}

void CompleteReport(RequirementsDesign& design, const Requirements& requirements,
                    const Method& method) {
    design.report.method = &method;
    design.report.requirements = requirements;
    design.report.taps = static_cast<int>(design.taps.size());
    MeasureReport(design.taps, design.report);
}

bool Meets(const RequirementsReport& report) {
    return MeetsTolerances(report.deviations, report.requirements);
}

BandFigure FigureOf(const Requirements& requirements, const Band& band, double deviation) {
    BandFigure figure;
    figure.pass = IsPassBand(band);
    figure.askedDb = ToleranceDb(requirements, band);
    figure.reachedDb = figure.pass ? RippleDb(deviation) : AttenuationDb(deviation);
    figure.marginDb =
        figure.pass ? figure.askedDb - figure.reachedDb : figure.reachedDb - figure.askedDb;
    figure.met = deviation <= AllowedDeviation(requirements, band);
    return figure;
}

double LargestShortfallDb(const Requirements& requirements, const std::vector<double>& deviations) {
    double shortfall = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < deviations.size() && i < requirements.bands.size(); ++i)
        shortfall = std::max(
            shortfall, -FigureOf(requirements, requirements.bands[i], deviations[i]).marginDb);
    return shortfall;
}

RequirementsDesign DesignToTolerances(const Requirements& requirements, const Method& method,
                                      int taps, const Progress& progress,
                                      const SearchSteps& steps) {
    if (AnyRelative(requirements) && !method.bands)
        return Unmade(DesignStatus::refused,
                      "this method designs flat pass bands only: a sloped one needs a method "
                      "that designs bands of any gain");
    return taps == 0 ? DesignFewestTaps(requirements, method, progress, steps)
                     : DesignAtLength(requirements, method, taps, progress);
}

RequirementsDesign DesignBands(const Requirements& requirements, const Method& method, int taps,
                               const Progress& progress) {
    if (!method.bands)
        return Unmade(DesignStatus::refused, "this method designs pass and stop bands only");
    RequirementsDesign design = method.design({requirements, taps, progress});
    if (!HasTaps(design.status))
        return design;
    design.report.tolerances = false;
    CompleteReport(design, requirements, method);
    const Peak peak = PeakOutsideBands(design.taps, requirements);
    design.report.outsidePeak = peak.magnitude;
    design.report.outsidePeakHz = peak.hz;
    return design;
}

RequirementsDesign Unmade(DesignStatus status, std::string why) {
    RequirementsDesign design;
    design.status = status;
    design.message = std::move(why);
    return design;
}

} // namespace taplore
