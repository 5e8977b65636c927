#include "core/design/requirements.h"
#include "core/document/design_document.h"
#include "core/document/nyquist_bands.h"
#include "core/document/sloped_bands.h"
#include "core/formats/crt.h"

namespace taplore {

namespace {

DocumentField FieldOf(RequirementsPart part) {
    switch (part) {
    case RequirementsPart::rate:
        return DocumentField::rate;
    case RequirementsPart::ripple:
        return DocumentField::ripple;
    case RequirementsPart::attenuation:
        return DocumentField::attenuation;
    case RequirementsPart::kind:
        return DocumentField::response;
    case RequirementsPart::taps:
        return DocumentField::length;
    case RequirementsPart::band:
        break;
    }
    return DocumentField::band;
}

DocumentProblem Problem(DocumentField field, std::string text) {
    return {field, -1, std::move(text)};
}

std::optional<DocumentProblem> RequirementsProblemOf(const DesignDocument& document) {
    const Requirements& r = document.requirements;
    auto problem = document.tolerances ? CheckTolerances(r) : CheckBands(r);
    if (!problem && document.length > 0)
        problem = SymmetryProblem(r, document.length);
    if (!problem)
        return std::nullopt;
    return DocumentProblem{FieldOf(problem->part), problem->band, problem->text};
}

std::optional<DocumentProblem> MethodProblem(const DesignDocument& document) {
    const Method& method = *document.method;
    if (!document.tolerances && !method.bands)
        return Problem(DocumentField::method, MethodNames([](const Method& m) { return m.bands; }) +
                                                  " designs bands of any gain, not " +
                                                  std::string(method.name));
    if (document.length == 0 && (!document.tolerances || !method.Searches()))
        return Problem(DocumentField::length,
                       "the " + std::string(method.noun) + " of these bands needs a length");
    return std::nullopt;
}

std::optional<DocumentProblem> PhaseProblem(const DesignDocument& document) {
    if (document.minimumPhase && !document.tolerances)
        return Problem(DocumentField::phase, "a minimum-phase design keeps pass and stop "
                                             "tolerances, not bands of any gain");
    return std::nullopt;
}

std::optional<DocumentProblem> TapsProblem(const DesignDocument& document) {
    const std::vector<double>& taps = document.taps;
    // A pulse's length is its span's, whatever the bands' length says.
    if (document.length > 0 && !document.pulse && !taps.empty() &&
        taps.size() != std::size_t(document.length))
        return Problem(DocumentField::taps, "holds " + std::to_string(taps.size()) +
                                                " taps, but the length is " +
                                                crt::FormatD(document.length));
    if (!document.pulse && taps.size() > std::size_t(document.method->longest))
        return Problem(DocumentField::taps, "holds more taps than the longest design of " +
                                                std::string(document.method->name));
    return std::nullopt;
}

// The window's refusals, which name its controls: a document of an L-th band is the window's.
std::optional<DocumentProblem> NyquistProblemOf(const DesignDocument& document) {
    if (document.nyquist == 0)
        return std::nullopt;
    if (!document.tolerances)
        return Problem(DocumentField::nyquist, "an L-th band is designed from pass and stop bands");
    const auto problem =
        WindowNyquistProblem(document.requirements, document.nyquist,
                             {document.method, document.minimumPhase, document.length > 0});
    if (!problem)
        return std::nullopt;
    return Problem(DocumentField::nyquist, problem->text);
}

std::optional<DocumentProblem> PulseProblem(const DesignDocument& document) {
    if (!document.pulse)
        return std::nullopt;
    if (document.nyquist > 0)
        return Problem(DocumentField::pulse, "a pulse is designed by its closed form, without "
                                             "method.nyquist");
    const PulseDesign design = DesignPulse(*document.pulse);
    if (design.status == DesignStatus::refused)
        return Problem(DocumentField::pulse, design.message);
    return std::nullopt;
}

} // namespace

std::string FieldName(const DocumentProblem& problem) {
    switch (problem.field) {
    case DocumentField::rate:
        return "rate_hz";
    case DocumentField::band:
        return problem.index < 0 ? "bands" : "bands[" + std::to_string(problem.index) + "]";
    case DocumentField::ripple:
        return "ripple_db";
    case DocumentField::attenuation:
        return "attenuation_db";
    case DocumentField::response:
        return "method.response";
    case DocumentField::method:
        return "method.name";
    case DocumentField::length:
        return "method.length";
    case DocumentField::phase:
        return "method.phase";
    case DocumentField::nyquist:
        return "method.nyquist";
    case DocumentField::pulse:
        return "pulse";
    case DocumentField::taps:
        break;
    }
    return "taps";
}

std::optional<DocumentProblem> CheckDocument(const DesignDocument& document) {
    if (auto problem = RequirementsProblemOf(document))
        return problem;
    if (auto problem = MethodProblem(document))
        return problem;
    if (auto problem = DocumentSlopeProblem(document))
        return problem;
    if (auto problem = TapsProblem(document))
        return problem;
    if (auto problem = NyquistProblemOf(document))
        return problem;
    if (auto problem = PulseProblem(document))
        return problem;
    return PhaseProblem(document);
}

} // namespace taplore
