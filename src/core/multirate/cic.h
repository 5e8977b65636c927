#pragma once
// The FIR that follows a CIC decimator: its pass band undoes the CIC's droop so that the
// cascade keeps the ripple asked, and its stop band keeps the attenuation on the cascade.

#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace taplore {

// A CIC decimator: `stages` integrator-comb pairs, decimating by `factor`, with a comb delay of
// `delay` samples at its output rate.
struct CicShape {
    int stages = 1;
    int factor = 2;
    int delay = 1;

    bool operator==(const CicShape&) const = default;
};

// "4:16" or "4:16:2": stages, factor and comb delay, the delay 1 unless given; nothing for
// another text, a factor below 2, or no stage or delay.
std::optional<CicShape> ParseCic(std::string_view text);

// The shape as ParseCic reads it, the delay always given: "4:16:1".
std::string CicText(const CicShape& cic);

// The CIC's magnitude at hz, its input rate inputRate, normalised to 1 at 0 Hz:
// |sin(pi f R D / Fin) / (R D sin(pi f / Fin))|^N.
double CicGain(const CicShape& cic, double hz, double inputRate);

struct CompensatorAsk {
    CicShape cic;
    double rate = 0.0;   // the FIR's input rate: the CIC's output rate, Hz
    int decimate = 1;    // the FIR's own rate change after the CIC, 1 for none
    double passHz = 0.0; // the cascade's pass band is 0 ... passHz
    double stopHz = 0.0; // and its stop band stopHz ... rate / 2
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
};

// The CIC's gain at hz of the FIR's rate (the CIC's response at its own, higher, input rate).
double CicGainAt(const CompensatorAsk& ask, double hz);

// The CIC's level in dB at bins k rate / points of the FIR's rate, k from 0 to points / 2 - 1:
// the same bins as the FIR's spectrum of that many points.
std::vector<double> CicLevelsDb(const CompensatorAsk& ask, int points);

// The stop band's edge for a compensator that decimates by `decimate`: what would fold onto the
// pass band, rate / decimate - passHz.
double FoldingStopHz(double rate, int decimate, double passHz);

// The FIR's requirements: the pass band as adjoining sloped pieces along 1 / CicGainAt, each
// weighted by the inverse of its gain so that the error counts relative to the gain asked, and
// the stop band at zero. The CIC's gain stays at or below 1, so the FIR's own attenuation keeps
// the cascade's.
Requirements CompensatorRequirements(const CompensatorAsk& ask);

// The cascade CIC x FIR measured on a dense grid at the FIR's rate.
struct CompensatorFigures {
    double lowestPass = 0.0, highestPass = 0.0; // the cascade's pass-band gain
    double rippleDb = 0.0;                      // 20 log10(highest / lowest)
    double attenuationDb = 0.0;                 // the least over the stop band, below 1
    double droopDb = 0.0;                       // the CIC's own loss at passHz
    bool met = false;
};
CompensatorFigures MeasureCompensator(const CompensatorAsk& ask, const std::vector<double>& taps);

struct Compensator {
    std::vector<double> taps; // empty when no length up to the longest keeps the ask
    CompensatorFigures figures;
    // The next shorter length of each parity, longest first, each designed and measured: they
    // miss the ask.
    std::vector<std::pair<int, CompensatorFigures>> shorter;
};

// The fewest equiripple taps whose cascade with the CIC keeps ask, over both parities: even
// lengths have a zero at half the rate, odd ones not, so each parity is searched on its own.
// progress may stop it between designs, leaving no taps.
Compensator DesignCompensator(const CompensatorAsk& ask, const Progress& progress = {});

// A compensator with the ask it was designed to.
struct CompensatorDesign {
    CompensatorAsk ask;
    Compensator made;
};

// The method of the table a compensator is designed by: equiripple, whose sloped bands follow
// the inverse droop.
const Method& CompensatorMethod();

// Why ask cannot be designed to, or nullopt: a CIC of no stages or no delay, a factor below 2,
// a pass band not below the stop band or reaching the CIC's first null, a stop band not below half
// the rate, or tolerances out of range.
std::optional<std::string> CompensatorProblem(const CompensatorAsk& ask);

} // namespace taplore
