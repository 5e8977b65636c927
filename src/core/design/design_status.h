#pragma once
// How a design to requirements ended, shared by every such designer.

#include <string_view>

namespace taplore {

enum class DesignStatus {
    refused,             // the input cannot be designed to; nothing was computed
    failed,              // the computation did not reach a filter it can vouch for
    stopped,             // the caller's progress callback stopped it
    missed,              // stopped once its error passed the bound the caller gave: no taps
    converged,           // the taps are the design asked for
    convergedWithWarning // the taps are usable, with a doubt the result's message names
};

// Whether the result holds taps.
constexpr bool HasTaps(DesignStatus status) {
    return status == DesignStatus::converged || status == DesignStatus::convergedWithWarning;
}

} // namespace taplore
