#pragma once
// The methods of design to requirements, one row each. The command line, the requirements
// window, the report and the tests read this table; none of them names a method itself.
// Adding a method is a designer file, its test, a row here and the manual's entry.

#include "core/design/design_result.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <limits>
#include <span>
#include <string_view>
#include <vector>

namespace taplore {

// One length asked of a method.
struct LengthAsk {
    // The requirements; a pass/stop search hands them weighted by the inverse of each band's
    // tolerance, which the methods that weigh errors read and the others ignore.
    const Requirements& requirements;
    int taps = 0;
    const Progress& progress;
    // In: where a design of a nearby length of the same parity had its extremal frequencies
    // (Hz), or empty; out: this design's, for the next length. Methods without them leave it.
    std::vector<double>* start = nullptr;
    // A weighted deviation that, once the design is known to exceed it, ends it as missed: a
    // search needs no more of a length that cannot meet. Methods without such a bound ignore it.
    double missesAbove = std::numeric_limits<double>::infinity();
};

struct Method {
    std::string_view name;  // as the command line takes it and the settings keep it
    std::string_view title; // as the requirements window lists it
    std::string_view noun;  // as a report names it
    bool tolerances;        // designs pass and stop bands to a ripple and an attenuation
    bool bands;             // designs bands of any gain and weight at a fixed length
    bool antisymmetric;     // designs Hilbert transformers and differentiators
    bool showsBeta;         // its report gives Kaiser's beta
    int longest;            // lengths from 1 up to this
    // The length a fewest-taps search starts from, for requirements that pass
    // CheckTolerances, from 1 up to 1e9 (beyond the longest where the bands need more); null
    // for a method that designs only the length it is given.
    int (*estimate)(const Requirements&);
    // One length, as RequirementsDesign: the report's method figures filled, its measured
    // deviations not yet (the caller measures).
    RequirementsDesign (*design)(const LengthAsk&);

    bool Searches() const { return estimate != nullptr; }
};

// Every method, the default (equiripple) first.
std::span<const Method> Methods();

// The row of that name, or null.
const Method* FindMethod(std::string_view name);

// The default method: equiripple.
const Method& DefaultMethod();

// The names of the methods that pass `keep`, joined as "a, b or c" for help and refusals.
std::string MethodNames(bool (*keep)(const Method&) = nullptr);
// Their titles alike, as the requirements window lists them: "Equiripple or Least squares".
std::string MethodTitles(bool (*keep)(const Method&) = nullptr);

} // namespace taplore
