#include "core/design/requirements.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace taplore {

namespace {

constexpr double kLightestWeight = 1e-15;
constexpr double kHeaviestWeight = 1e15;

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
    if (!std::isfinite(band.gain) || !std::isfinite(EndGain(band)))
        return Problem(RequirementsPart::band, i, "its gain must be a finite number");
    if (band.relative && (band.gain < 0.0 || EndGain(band) < 0.0))
        return Problem(RequirementsPart::band, i,
                       "a pass band's gains must not be negative: they are magnitudes");
    if (band.relative && (band.gain == 0.0 || EndGain(band) == 0.0))
        return Problem(RequirementsPart::band, i,
                       "a sloped pass band's gains must be above 0: its ripple is relative to "
                       "them, and relative to 0 it allows no deviation at all");
    if (band.endGain && r.kind == ResponseKind::differentiator)
        return Problem(RequirementsPart::band, i,
                       "a differentiator's band asks for one slope: give it one gain");
    if (!IsPositiveFinite(band.weight))
        return Problem(RequirementsPart::band, i, "its weight must be positive and finite");
    // Beyond, the weighted errors of the other bands are lost in the rounding of this one's.
    if (band.weight < kLightestWeight || band.weight > kHeaviestWeight)
        return Problem(RequirementsPart::band, i, "its weight must be from 1e-15 to 1e15");
    if (i > 0 && band.lowHz < r.bands[i - 1].highHz)
        return Problem(RequirementsPart::band, i, "it overlaps the band below it");
    if (i > 0 && band.lowHz == r.bands[i - 1].highHz)
        return Problem(RequirementsPart::band, i,
                       "it touches the band below it: leave a transition between them");
    return std::nullopt;
}

// A deviation finer than about 1e-15 of the pass-band gain is lost in the rounding of double
// taps; a tolerance asking for one could never be met, and a zero deviation would make the
// length estimates and the tolerance weights infinite.
constexpr double kFinestRippleDb = 1e-13;
// 40 dB peak to peak is a gain from 0.02 to 1.98; beyond, 10^(Rp/20) overflows on the way.
constexpr double kWidestRippleDb = 40.0;
constexpr double kDeepestAttenuationDb = 300.0;

std::optional<RequirementsProblem> ToleranceProblem(const Requirements& r, int i) {
    const Band& band = r.bands[i];
    const double tolerance = ToleranceDb(r, band);
    // A tolerance of the band's own is the band's fault; the shared one is not.
    const int at = band.toleranceDb ? i : -1;
    if (IsPassBand(band)) {
        if (!IsPositiveFinite(tolerance))
            return Problem(RequirementsPart::ripple, at,
                           "the ripple must be above 0 dB and finite");
        if (tolerance > kWidestRippleDb)
            return Problem(RequirementsPart::ripple, at,
                           "the ripple must be at most 40 dB: a wider one leaves the pass band "
                           "no gain to keep");
        if (tolerance < kFinestRippleDb)
            return Problem(RequirementsPart::ripple, at,
                           "the ripple must be at least 1e-13 dB: a finer one is lost in the "
                           "rounding of the taps");
        return std::nullopt;
    }
    if (!IsPositiveFinite(tolerance))
        return Problem(RequirementsPart::attenuation, at,
                       "the attenuation must be above 0 dB and finite");
    if (tolerance > kDeepestAttenuationDb)
        return Problem(RequirementsPart::attenuation, at,
                       "the attenuation must be at most 300 dB: a deeper one is lost in the "
                       "rounding of the taps");
    return std::nullopt;
}

} // namespace

double PassDeviation(double rippleDb) {
    const double ratio = std::pow(10.0, rippleDb / 20.0);
    return (ratio - 1.0) / (ratio + 1.0);
}

double ToleranceDb(const Requirements& requirements, const Band& band) {
    const double shared = IsPassBand(band) ? requirements.rippleDb : requirements.attenuationDb;
    return band.toleranceDb.value_or(shared);
}

double AllowedDeviation(const Requirements& requirements, const Band& band) {
    const double tolerance = ToleranceDb(requirements, band);
    return IsPassBand(band) ? PassDeviation(tolerance) : StopDeviation(tolerance);
}

std::pair<double, double> TightestDeviations(const Requirements& requirements) {
    double pass = 1.0, stop = 1.0;
    for (const Band& band : requirements.bands) {
        double& tightest = IsPassBand(band) ? pass : stop;
        tightest = std::min(tightest, AllowedDeviation(requirements, band));
    }
    return {pass, stop};
}

double StopDeviation(double attenuationDb) {
    return std::pow(10.0, -attenuationDb / 20.0);
}

double RippleDb(double passDeviation) {
    return 20.0 * std::log10((1.0 + passDeviation) / (1.0 - passDeviation));
}

double AttenuationDb(double stopDeviation) {
    return -20.0 * std::log10(stopDeviation);
}

double NarrowestTransition(const Requirements& requirements) {
    double narrowest = std::numeric_limits<double>::infinity();
    const std::vector<Band>& bands = requirements.bands;
    for (std::size_t i = 1; i < bands.size(); ++i)
        narrowest =
            std::min(narrowest, 2.0 * std::numbers::pi * (bands[i].lowHz - bands[i - 1].highHz) /
                                    requirements.rate);
    return narrowest;
}

bool IsPassBand(const Band& band) {
    return band.gain == 1.0 || band.relative;
}

bool AnyRelative(const Requirements& requirements) {
    return std::any_of(requirements.bands.begin(), requirements.bands.end(),
                       [](const Band& band) { return band.relative; });
}

Requirements Absolute(Requirements requirements) {
    for (Band& band : requirements.bands)
        band.relative = false;
    return requirements;
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
        const Band& band = requirements.bands[i];
        if (!band.relative && ((band.gain != 0.0 && band.gain != 1.0) || band.endGain))
            return Problem(RequirementsPart::band, i,
                           "a band must be a pass band (gain 1) or a stop band (gain 0)");
        anyPass = anyPass || IsPassBand(band);
    }
    if (!anyPass)
        return Problem(RequirementsPart::band, -1, "no pass band: give at least one");
    for (int i = 0; i < static_cast<int>(requirements.bands.size()); ++i)
        if (auto problem = ToleranceProblem(requirements, i))
            return problem;
    return std::nullopt;
}

std::optional<RequirementsProblem> SymmetryProblem(const Requirements& requirements, int taps) {
    const bool antisymmetric = requirements.kind != ResponseKind::ordinary;
    const bool odd = taps % 2 != 0;
    for (int i = 0; i < static_cast<int>(requirements.bands.size()); ++i) {
        const Band& band = requirements.bands[i];
        // A differentiator asks for nothing at 0 Hz; every other kind asks for its gain.
        const bool asksAtDc = band.gain != 0.0 && requirements.kind != ResponseKind::differentiator;
        if (antisymmetric && band.lowHz == 0.0 && asksAtDc)
            return Problem(RequirementsPart::band, i,
                           "antisymmetric taps have no response at 0 Hz: start above 0");
        if (antisymmetric == odd && band.highHz == requirements.rate / 2 && EndGain(band) != 0.0) {
            if (antisymmetric)
                return Problem(RequirementsPart::taps, -1,
                               "an odd length has no response at half the rate: use an even one");
            return Problem(RequirementsPart::taps, -1,
                           "an even length has no response at half the rate: use an odd one");
        }
    }
    return std::nullopt;
}

std::optional<std::string> FixedLengthProblem(const Requirements& requirements, int taps,
                                              const LengthRefusals& refusals) {
    if (auto problem = CheckBands(requirements))
        return problem->text;
    const bool antisymmetric = requirements.kind != ResponseKind::ordinary;
    if (antisymmetric && (taps < 2 || taps > refusals.longest))
        return refusals.antisymmetric;
    if (taps < 1 || taps > refusals.longest)
        return refusals.ordinary;
    if (auto problem = SymmetryProblem(requirements, taps))
        return problem->text;
    return std::nullopt;
}

double GainAt(const Band& band, double hz) {
    if (!band.endGain)
        return band.gain;
    return band.gain +
           (*band.endGain - band.gain) * ((hz - band.lowHz) / (band.highHz - band.lowHz));
}

double EndGain(const Band& band) {
    return band.endGain.value_or(band.gain);
}

} // namespace taplore
