#pragma once
// The requirements window's CIC compensator: the CIC field read with the bands into the
// compensator's requirements, the FIR designed on the window's worker, and the CIC, the FIR and
// their cascade in the result table and the magnitude plot.

#include "core/document/requirements_presenter.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace taplore {

// The CIC field's text (not empty) asks for a compensator of the window's bands at its rate,
// the CIC's output rate, or what the window must change first ("CIC: the pass band reaches the
// CIC's first null, at its output rate over its delay."): one pass band from 0 of gain 1, one
// stop band to half the rate (with Decimate by, from where the FIR's decimation folds onto the
// pass band), equiripple to the fewest taps in linear phase, in one stage.
struct WindowCic {
    std::optional<CompensatorAsk> ask;
    std::string problem;
};
WindowCic ReadCic(const std::string& text, const std::optional<RateChangeChoice>& change,
                  const DesignAsk& ask);

// Designs ask's compensator into shown: the FIR as shown's design, measured with the CIC.
void DesignWindowCompensator(const DesignAsk& ask, const Progress& progress, DesignShown& shown);

// The cascade's levels in dB at bins k rate / (2 points) of the FIR's rate, k below points, from
// the FIR's own (firDb); the CIC's and the FIR's as its stages.
CascadeLevels CompensatorLevels(const CompensatorAsk& ask, std::span<const double> firDb,
                                int points);

// The compensator in words, as the command line reports it.
TapsDescription DescribeWindowCompensator(const CompensatorDesign& design);

// The result table: the CIC and its droop, the FIR's taps and multiplications, and the
// cascade's measured ripple and attenuation.
std::vector<FigureRow> CompensatorRows(const CompensatorDesign& design);

// "22 taps miss by 0.03 dB, 21 taps by 0.51 dB": the shorter lengths the search measured, by
// the cascade's larger shortfall.
std::string CompensatorShorterText(const CompensatorDesign& design);

} // namespace taplore
