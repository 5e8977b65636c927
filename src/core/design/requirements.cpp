#include "core/design/requirements.h"

#include <cmath>

namespace taplore {

namespace {

RequirementsProblem Problem(RequirementsPart part, int band, const char* text) {
    return {part, band, text};
}

bool IsPositiveFinite(double value) {
    return value > 0.0 && std::isfinite(value);
}

std::optional<RequirementsProblem> CheckBand(const Requirements& r, int i) {
    const Band& band = r.bands[i];
    if (!std::isfinite(band.lowHz) || !std::isfinite(band.highHz))
        return Problem(RequirementsPart::band, i, "its edges must be finite numbers");
    if (!(band.lowHz < band.highHz))
        return Problem(RequirementsPart::band, i,
                       "edges out of order: the low edge must lie below the high edge");
    if (band.lowHz < 0.0)
        return Problem(RequirementsPart::band, i, "its low edge lies below 0 Hz");
    if (band.highHz > r.rate / 2)
        return Problem(RequirementsPart::band, i, "it reaches beyond half the rate");
    if (!std::isfinite(band.gain))
        return Problem(RequirementsPart::band, i, "its gain must be a finite number");
    if (!IsPositiveFinite(band.weight))
        return Problem(RequirementsPart::band, i, "its weight must be positive and finite");
    if (i > 0 && band.lowHz < r.bands[i - 1].highHz)
        return Problem(RequirementsPart::band, i, "it overlaps the band below it");
    if (i > 0 && band.lowHz == r.bands[i - 1].highHz)
        return Problem(RequirementsPart::band, i,
                       "it touches the band below it: leave a transition between them");
    if (r.kind == ResponseKind::hilbert && band.lowHz == 0.0 && band.gain != 0.0)
        return Problem(RequirementsPart::band, i,
                       "a Hilbert transformer has no gain at 0 Hz: start the band above 0");
    return std::nullopt;
}

} // namespace

double PassDeviation(double rippleDb) {
    const double ratio = std::pow(10.0, rippleDb / 20.0);
    return (ratio - 1.0) / (ratio + 1.0);
}

double StopDeviation(double attenuationDb) {
    return std::pow(10.0, -attenuationDb / 20.0);
}

bool IsPassBand(const Band& band) {
    return band.gain == 1.0;
}

std::optional<RequirementsProblem> CheckBands(const Requirements& requirements) {
    if (!IsPositiveFinite(requirements.rate))
        return Problem(RequirementsPart::rate, -1, "the rate must be positive and finite");
    if (requirements.bands.empty())
        return Problem(RequirementsPart::band, -1, "no band: give at least one");
    for (int i = 0; i < static_cast<int>(requirements.bands.size()); ++i)
        if (auto problem = CheckBand(requirements, i))
            return problem;
    return std::nullopt;
}

std::optional<RequirementsProblem> CheckTolerances(const Requirements& requirements) {
    if (requirements.kind != ResponseKind::ordinary)
        return Problem(RequirementsPart::kind, -1,
                       "ripple and attenuation apply to ordinary filters only");
    if (auto problem = CheckBands(requirements))
        return problem;
    bool anyPass = false;
    for (int i = 0; i < static_cast<int>(requirements.bands.size()); ++i) {
        const double gain = requirements.bands[i].gain;
        if (gain != 0.0 && gain != 1.0)
            return Problem(RequirementsPart::band, i,
                           "a band must be a pass band (gain 1) or a stop band (gain 0)");
        anyPass = anyPass || gain == 1.0;
    }
    if (!anyPass)
        return Problem(RequirementsPart::band, -1, "no pass band: give at least one");
    if (!IsPositiveFinite(requirements.rippleDb))
        return Problem(RequirementsPart::ripple, -1, "the ripple must be above 0 dB and finite");
    if (!IsPositiveFinite(requirements.attenuationDb))
        return Problem(RequirementsPart::attenuation, -1,
                       "the attenuation must be above 0 dB and finite");
    return std::nullopt;
}

} // namespace taplore
