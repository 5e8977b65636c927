#include "core/document/sloped_bands.h"

#include "core/formats/gain_text.h"

#include <string>

namespace taplore {

namespace {

bool DesignsBands(const Method& method) {
    return method.bands;
}

} // namespace

std::optional<SlopeRefusal> SlopeRefused(const Requirements& requirements, const Method& method,
                                         bool minimumPhase) {
    for (int i = 0; i < static_cast<int>(requirements.bands.size()); ++i) {
        if (!requirements.bands[i].relative)
            continue;
        if (!method.bands)
            return SlopeRefusal{i, SlopeConflict::method};
        if (minimumPhase)
            return SlopeRefusal{i, SlopeConflict::minimumPhase};
    }
    return std::nullopt;
}

std::optional<RequirementsProblem> WindowSlopeProblem(const Requirements& requirements,
                                                      const Method& method, bool minimumPhase) {
    const auto refused = SlopeRefused(requirements, method, minimumPhase);
    if (!refused)
        return std::nullopt;
    const std::string gain = "a gain of " + GainText(requirements.bands[refused->band]);
    if (refused->conflict == SlopeConflict::method)
        return RequirementsProblem{RequirementsPart::band, refused->band,
                                   gain + " needs " + MethodTitles(DesignsBands) +
                                       " as the Method, not " + std::string(method.title)};
    return RequirementsProblem{RequirementsPart::band, refused->band,
                               gain + " needs Phase: Linear; Minimum keeps pass bands of gain 1"};
}

std::optional<DocumentProblem> DocumentSlopeProblem(const DesignDocument& document) {
    const Method& method = *document.method;
    const auto refused = SlopeRefused(document.requirements, method, document.minimumPhase);
    if (!refused)
        return std::nullopt;
    const std::string gain = "the gain " + GainText(document.requirements.bands[refused->band]) +
                             " of bands[" + std::to_string(refused->band) + "]";
    if (refused->conflict == SlopeConflict::method)
        return DocumentProblem{DocumentField::method, -1,
                               MethodNames(DesignsBands) + " keeps " + gain + ", not " +
                                   std::string(method.name)};
    return DocumentProblem{DocumentField::phase, -1,
                           "a minimum-phase design keeps pass bands of gain 1, not " + gain};
}

} // namespace taplore
