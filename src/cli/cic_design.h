#pragma once
// taplore-design --cic: the FIR that follows a CIC decimator, designed so that the cascade keeps
// the pass band's ripple and the stop band's attenuation.

#include "cli/console.h"
#include "cli/output.h"
#include "cli/request.h"

#include <optional>
#include <string_view>

// "4:16" or "4:16:2": stages, factor and comb delay, the delay 1 unless given.
std::optional<taplore::CicShape> ParseCic(std::string_view text);

// kDone with the compensator in design and its report shown; kRefused after naming what cannot
// be designed, kFailed where no length keeps the cascade's tolerances.
int DesignCicCompensator(Console& console, const Request& request, Design& design);
