#include "core/document/nyquist_bands.h"

#include "core/design/nyquist.h"
#include "core/formats/crt.h"

#include <cmath>
#include <string>

namespace taplore {

namespace {

RequirementsProblem Refused(int band, std::string text) {
    return {RequirementsPart::band, band, std::move(text)};
}

// "Nyquist L = 2": the window's words for the row that asks it.
std::string Asked(int band) {
    return "Nyquist L = " + crt::FormatD(band);
}

// The methods that keep the zeros of a half-band, and of every L above 2 alike.
bool DesignsHalfBand(const Method& method) {
    return DesignsNyquist(method, 2);
}
bool DesignsOtherBands(const Method& method) {
    return DesignsNyquist(method, 3);
}

std::optional<RequirementsProblem> BandsProblem(const Requirements& r, int band) {
    const std::vector<Band>& bands = r.bands;
    if (bands.size() != 2 || !IsPassBand(bands[0]) || IsPassBand(bands[1]) ||
        bands[0].lowHz != 0.0 || bands[1].highHz != r.rate / 2)
        return Refused(-1, Asked(band) + " designs a low-pass: a pass band from 0 and a stop "
                                         "band to half the rate (the Low-pass preset)");
    if (bands[0].relative)
        return Refused(0, Asked(band) + " needs a pass band of gain 1");
    const double passHz = bands[0].highHz;
    if (!(NyquistStopEdge(r.rate, passHz, band) > passHz))
        return Refused(0, Asked(band) + " needs the pass band to end below " +
                              crt::FormatShortest(r.rate / (2.0 * band)) + " Hz");
    // As the command line takes a stop edge typed to a few digits.
    const double edge = NyquistStopEdge(r.rate, passHz, band);
    if (std::fabs(bands[1].lowHz - edge) > 1e-9 * r.rate)
        return Refused(1, Asked(band) + " needs the stop band from " + crt::FormatShortest(edge) +
                              " Hz: the rate over L less the pass band's edge");
    return std::nullopt;
}

} // namespace

std::optional<RequirementsProblem> WindowNyquistProblem(const Requirements& requirements, int band,
                                                        const NyquistChoices& choices) {
    if (band < 2)
        return Refused(-1, "Nyquist L must be 2 or more");
    if (choices.minimumPhase)
        return Refused(-1, Asked(band) + " needs Phase: Linear; minimum-phase taps have no "
                                         "L-th band's zeros");
    if (choices.fixedLength)
        return Refused(-1, Asked(band) + " designs the fewest taps that meet them, not a fixed "
                                         "length");
    if (!DesignsNyquist(*choices.method, band))
        return Refused(-1, Asked(band) + " needs " +
                               MethodTitles(band == 2 ? DesignsHalfBand : DesignsOtherBands) +
                               " as the Method, not " + std::string(choices.method->title));
    return BandsProblem(requirements, band);
}

Requirements NyquistOf(const Requirements& requirements, int band) {
    const std::vector<Band>& bands = requirements.bands;
    return NyquistRequirements(requirements.rate, bands[0].highHz, band,
                               bands[0].toleranceDb.value_or(requirements.rippleDb),
                               bands[1].toleranceDb.value_or(requirements.attenuationDb));
}

} // namespace taplore
