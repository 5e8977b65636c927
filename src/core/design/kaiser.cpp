#include "core/design/kaiser.h"

#include "core/design/windowed.h"

#include <algorithm>
#include <cmath>

namespace taplore {

double KaiserBeta(double attenuationDb) {
    const double a = attenuationDb;
    if (a > 50.0)
        return 0.1102 * (a - 8.7);
    if (a >= 21.0)
        return 0.5842 * std::pow(a - 21.0, 0.4) + 0.07886 * (a - 21.0);
    return 0.0;
}

double KaiserAttenuation(const Requirements& requirements) {
    const auto [pass, stop] = TightestDeviations(requirements);
    return -20.0 * std::log10(std::min(pass, stop));
}

int KaiserLength(double attenuationDb, double transitionRadians) {
    const double taps = std::ceil((attenuationDb - 8.0) / (2.285 * transitionRadians) + 1.0);
    return static_cast<int>(std::clamp(taps, 1.0, 1e9));
}

RequirementsDesign DesignKaiser(const Requirements& requirements, int taps) {
    const double beta =
        CheckTolerances(requirements) ? 0.0 : KaiserBeta(KaiserAttenuation(requirements));
    RequirementsDesign design = DesignWindowed(requirements, taps, WindowKind::kaiser, beta);
    design.report.beta = beta;
    return design;
}

} // namespace taplore
