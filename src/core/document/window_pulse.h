#pragma once
// The requirements window's pulse-shaping preset as its row holds it, and the pulse it asks:
// a closed-form design in place of the bands'.

#include "core/design/pulse_shaping.h"

#include <optional>
#include <string>

namespace taplore {

struct WindowPulse {
    std::string shape; // a name of PulseShapes(); empty for none, the bands designed
    int spanSymbols = 8;
    int samplesPerSymbol = 4;
    std::string shaping = "0.35"; // the roll-off, or the Gaussian's BT, as typed
    std::string gain;             // a name of PulseGains(); empty for the shape's default

    bool On() const { return !shape.empty(); }
    bool operator==(const WindowPulse&) const = default;
};

// The pulse the row asks, or nothing after problem says, naming the row's controls, what is
// wrong ("Pulse: the roll-off must be from 0 to 1"); nothing, problem empty, while it is off.
std::optional<PulseRequest> ReadWindowPulse(const WindowPulse& row, std::string& problem);

// The row of a pulse: its shape, span, samples, shaping shortest and gain by name.
WindowPulse PulseRowOf(const PulseRequest& pulse);

} // namespace taplore
