#pragma once
// What a CIC compensator's design reached, in lines for people: its taps and whether the
// cascade meets the requirements, the CIC's droop, the cascade's measured ripple and
// attenuation, and the FIR's own decimation.

#include "core/formats/taps_description.h"
#include "core/multirate/cic.h"

#include <string>

namespace taplore {

// The values the lines quote as they were given: the CIC's shape ("4:16") and the ripple and
// attenuation asked, in dB ("0.1", "60").
struct CompensatorWords {
    std::string cic, rippleDb, attenuationDb;
};

// "CIC compensator, equiripple, 11 taps: the cascade meets the requirements; 10 and 9 taps
// miss", then a note each for the CIC, the cascade and the FIR's decimation; the FIR's rate.
TapsDescription DescribeCompensator(const CompensatorAsk& ask, const Compensator& made,
                                    const CompensatorWords& words);

} // namespace taplore
