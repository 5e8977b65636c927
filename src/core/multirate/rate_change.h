#pragma once
// A filter beside a change of rate: a decimator (filter, then keep every M-th sample) or an
// interpolator (insert L - 1 zeros, then filter), as one stage or a cascade of stages, each
// designed to its own requirements so that the cascade keeps the whole filter's.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"

#include <optional>
#include <vector>

namespace taplore {

enum class RateChange { decimate, interpolate };

// Which frequencies are kept from folding onto the output: those that would land in the pass
// band (aliasing into the transition is allowed), or everything below half the low rate.
enum class AliasRule { passBand, none };

struct RateChangeAsk {
    RateChange change = RateChange::decimate;
    int factor = 2;      // M or L, 2 or more
    double rate = 0.0;   // the high rate, Hz
    double passHz = 0.0; // the pass band is 0 ... passHz, below rate / (2 factor)
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
    AliasRule alias = AliasRule::passBand;
    const Method* method = nullptr; // a method that searches; the default where null
};

// The low rate: rate / factor.
double LowRate(const RateChangeAsk& ask);

// One stage of a cascade, listed from the high rate down (an interpolator runs the list in
// reverse): its factor and the rate at its high side.
struct StageSpot {
    int factor = 2;
    double rate = 0.0;
};
std::vector<StageSpot> StageSpots(const RateChangeAsk& ask, const std::vector<int>& factors);

// What a stage at spot must do so that the cascade of `stages` stages keeps ask: pass 0 ...
// passHz with its share of the ripple, and stop from the next rate less the final rate's
// protected edge up to half its own rate, attenuated enough that the other stages' pass-band
// gain cannot lift it above ask's attenuation.
Requirements StageRequirements(const RateChangeAsk& ask, const StageSpot& spot, int stages);

// The pass deviation of each of `stages` stages whose product keeps ripple dB: (1 + d)^k stays
// within 1 + D and (1 - d)^k within 1 - D.
double SharedPassDeviation(double rippleDb, int stages);

// A stage as designed: its factor, the rate at its high side and the fewest taps that keep its
// requirements (an interpolator's scaled by its factor, so that it keeps the signal's level).
struct Stage {
    StageSpot spot;
    RequirementsDesign design;
};

// Multiplications per high-rate sample of a polyphase cascade: each stage's taps over the
// product of the factors up to and including its own, a decimator's input sample or an
// interpolator's output sample.
double MultiplicationsPerSample(const std::vector<int>& factors, const std::vector<int>& taps);

// The cascade's response at the high rate, measured on a dense grid: each stage's magnitude at
// its own rate, multiplied. Gains are over the cascade's nominal gain (the factor for an
// interpolator).
struct CascadeFigures {
    double lowestPass = 0.0, highestPass = 0.0; // the pass band's gain
    double rippleDb = 0.0;                      // 20 log10(highest / lowest)
    double attenuationDb = 0.0;                 // the least over the frequencies that fold in
    double worstHz = 0.0;                       // where that least is
    bool met = false;                           // within ask's ripple and attenuation
};
CascadeFigures MeasureCascade(const RateChangeAsk& ask, const std::vector<Stage>& stages);

// Why ask cannot be designed to, or nullopt: the factor below 2, the pass band not below half
// the low rate, tolerances out of range, or a method that does not search.
std::optional<std::string> RateChangeProblem(const RateChangeAsk& ask);

} // namespace taplore
