#pragma once
// Pulse-shaping filters by their closed forms: the raised cosine, its square root and the
// Gaussian, sampled at symmetric times about the centre tap.

#include "core/design/design_status.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

enum class PulseShape { raisedCosine, rootRaisedCosine, gaussian };

// How the taps are scaled: the sum of their squares, their sum, or the largest tap made 1.
enum class PulseGain { unitEnergy, unitDc, unitPeak };

// The names the command line and the settings use, and the text a help lists.
struct PulseShapeInfo {
    PulseShape shape;
    std::string_view name;  // "rrc"
    std::string_view title; // "root raised cosine"
    bool bt;                // shaped by a bandwidth-time product, not a roll-off
};
struct PulseGainInfo {
    PulseGain gain;
    std::string_view name; // "unit-energy"
};
std::span<const PulseShapeInfo> PulseShapes();
std::span<const PulseGainInfo> PulseGains();
const PulseShapeInfo* FindPulseShape(std::string_view name);
const PulseGainInfo* FindPulseGain(std::string_view name);
// The row of a shape or a gain.
const PulseShapeInfo& InfoOf(PulseShape shape);
const PulseGainInfo& InfoOf(PulseGain gain);

// Unit energy for the root raised cosine (a matched pair then passes a symbol at gain 1), unit
// DC for the others.
PulseGain DefaultPulseGain(PulseShape shape);

// The longest pulse.
constexpr int kMaxPulseTaps = 65'535;

struct PulseRequest {
    PulseShape shape = PulseShape::rootRaisedCosine;
    int spanSymbols = 0;      // 1 and up: the taps reach spanSymbols / 2 symbols each side
    int samplesPerSymbol = 0; // 1 and up
    // The roll-off alpha of the raised cosines, 0 ... 1; for the Gaussian, the product BT of
    // its -3 dB bandwidth and the symbol period, above 0 and finite.
    double shaping = 0.0;
    std::optional<PulseGain> gain; // DefaultPulseGain(shape) without one
};

struct PulseDesign {
    DesignStatus status = DesignStatus::refused; // refused or converged
    std::string message;                         // why refused
    std::vector<double> taps;
};

// spanSymbols * samplesPerSymbol + 1 taps (at most kMaxPulseTaps), tap n at the time
// (n - (taps - 1) / 2) / samplesPerSymbol symbols, so that the taps are symmetric to the bit.
// Refused, with the reason, for parameters outside their ranges.
PulseDesign DesignPulse(const PulseRequest& request);

} // namespace taplore
