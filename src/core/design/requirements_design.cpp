#include "core/design/requirements_design.h"

#include "core/design/band_measure.h"
#include "core/design/fewest_taps.h"

#include <algorithm>
#include <limits>

namespace taplore {

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
                                      int taps, const Progress& progress) {
    return taps == 0 ? DesignFewestTaps(requirements, method, progress)
                     : DesignAtLength(requirements, method, taps, progress);
}

RequirementsDesign DesignBands(const Requirements& requirements, const Method& method, int taps,
                               const Progress& progress) {
    if (!method.bands)
        return Unmade(DesignStatus::refused, "this method designs pass and stop bands only");
    RequirementsDesign design = method.design({requirements, taps, progress});
    if (!HasTaps(design.status))
        return design;
    design.report.method = &method;
    design.report.requirements = requirements;
    design.report.tolerances = false;
    design.report.taps = static_cast<int>(design.taps.size());
    design.report.deviations = MeasureDeviations(design.taps, requirements);
    return design;
}

RequirementsDesign Unmade(DesignStatus status, std::string why) {
    RequirementsDesign design;
    design.status = status;
    design.message = std::move(why);
    return design;
}

} // namespace taplore
