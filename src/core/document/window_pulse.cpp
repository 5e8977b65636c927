#include "core/document/window_pulse.h"

#include "core/formats/crt.h"

namespace taplore {

std::optional<PulseRequest> ReadWindowPulse(const WindowPulse& row, std::string& problem) {
    problem.clear();
    if (!row.On())
        return std::nullopt;
    const PulseShapeInfo* shape = FindPulseShape(row.shape);
    if (!shape) {
        problem = "Pulse: there is no pulse shape \"" + row.shape + "\"";
        return std::nullopt;
    }
    const std::string shapingName = shape->bt ? "BT" : "the roll-off";
    const auto shaping = crt::StrictAtof(row.shaping);
    if (!shaping) {
        problem = "Pulse: " + shapingName + " must be a number";
        return std::nullopt;
    }
    PulseRequest pulse{shape->shape, row.spanSymbols, row.samplesPerSymbol, *shaping, std::nullopt};
    if (!row.gain.empty()) {
        const PulseGainInfo* gain = FindPulseGain(row.gain);
        if (!gain) {
            problem = "Pulse: there is no gain \"" + row.gain + "\"";
            return std::nullopt;
        }
        pulse.gain = gain->gain;
    }
    // The design is a closed form, quick even at the longest: its refusal is the check.
    const PulseDesign design = DesignPulse(pulse);
    if (design.status == DesignStatus::refused) {
        problem = "Pulse: " + design.message;
        return std::nullopt;
    }
    return pulse;
}

WindowPulse PulseRowOf(const PulseRequest& pulse) {
    WindowPulse row;
    row.shape = InfoOf(pulse.shape).name;
    row.spanSymbols = pulse.spanSymbols;
    row.samplesPerSymbol = pulse.samplesPerSymbol;
    row.shaping = crt::FormatShortest(pulse.shaping);
    if (pulse.gain)
        row.gain = InfoOf(*pulse.gain).name;
    return row;
}

} // namespace taplore
