#include "core/design/requirements_design.h"

#include "core/design/band_measure.h"

#include <algorithm>
#include <limits>

namespace taplore {

RequirementsReport ReportOf(const Requirements& requirements, DesignMethod method,
                            const FewestTapsResult& result) {
    RequirementsReport report;
    report.method = method;
    report.beta = result.beta;
    report.requirements = requirements;
    report.taps = static_cast<int>(result.taps.size());
    report.deviations = result.deviations;
    report.shorterTaps = result.shorterTaps;
    report.shorterDeviations = result.shorterDeviations;
    report.warning = result.message;
    return report;
}

RequirementsReport ReportOf(const Requirements& requirements, const EquirippleResult& result,
                            bool tolerances) {
    RequirementsReport report;
    report.method = DesignMethod::equiripple;
    report.requirements = requirements;
    report.tolerances = tolerances;
    report.taps = static_cast<int>(result.taps.size());
    report.deviations = MeasureDeviations(result.taps, requirements);
    report.weightedDeviation = result.deviation;
    report.iterations = result.iterations;
    report.warning = result.message;
    return report;
}

RequirementsReport ReportOf(const Requirements& requirements, const KaiserResult& result) {
    RequirementsReport report;
    report.method = DesignMethod::kaiser;
    report.beta = result.beta;
    report.requirements = requirements;
    report.taps = static_cast<int>(result.taps.size());
    report.deviations = MeasureDeviations(result.taps, requirements);
    return report;
}

RequirementsReport ReportOf(const Requirements& requirements, const WindowedResult& result,
                            WindowKind window) {
    RequirementsReport report;
    report.window = window;
    report.requirements = requirements;
    report.taps = static_cast<int>(result.taps.size());
    report.deviations = MeasureDeviations(result.taps, requirements);
    return report;
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

RequirementsDesign DesignToTolerances(const Requirements& requirements, DesignMethod method,
                                      int taps, const Progress& progress) {
    FewestTapsResult result = taps == 0 ? DesignFewestTaps(requirements, method, progress)
                                        : DesignAtLength(requirements, method, taps, progress);
    RequirementsDesign design{result.status, result.message, {}, {}};
    if (HasTaps(result.status))
        design.report = ReportOf(requirements, method, result);
    design.taps = std::move(result.taps);
    return design;
}

RequirementsDesign DesignWithWindow(const Requirements& requirements, int taps, WindowKind window) {
    WindowedResult result = DesignWindowed(requirements, taps, window, 0.0);
    RequirementsDesign design{result.status, result.message, {}, {}};
    if (HasTaps(result.status))
        design.report = ReportOf(requirements, result, window);
    design.taps = std::move(result.taps);
    return design;
}

RequirementsDesign DesignBands(const Requirements& requirements, int taps,
                               const Progress& progress) {
    EquirippleResult result = DesignEquiripple(requirements, taps, progress);
    RequirementsDesign design{result.status, result.message, {}, {}};
    if (HasTaps(result.status))
        design.report = ReportOf(requirements, result, false);
    design.taps = std::move(result.taps);
    return design;
}

} // namespace taplore
