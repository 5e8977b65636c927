#pragma once
// Which designs keep a pass band's gain where it is not 1 (a line, or a flat gain): the
// methods that design bands of any gain, at linear phase. A minimum-phase design, factored
// from the squared magnitude, and the window methods keep pass bands of gain 1 alone. The
// window and the document each say so in their own words.

#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/document/design_document.h"

#include <optional>

namespace taplore {

enum class SlopeConflict { method, minimumPhase };

struct SlopeRefusal {
    int band = -1; // the first pass band whose gain is not 1
    SlopeConflict conflict = SlopeConflict::method;
};

// What keeps method, or minimum phase, from the gains the pass bands ask; nothing where each
// asks 1 or both can keep them.
std::optional<SlopeRefusal> SlopeRefused(const Requirements& requirements, const Method& method,
                                         bool minimumPhase);

// As the requirements window says it, naming its controls: band 1, "a gain of 1..2 needs
// Equiripple or Least squares as the Method, not Kaiser window".
std::optional<RequirementsProblem> WindowSlopeProblem(const Requirements& requirements,
                                                      const Method& method, bool minimumPhase);

// As a design document's reader says it, naming its members.
std::optional<DocumentProblem> DocumentSlopeProblem(const DesignDocument& document);

} // namespace taplore
