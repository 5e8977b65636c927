#pragma once
// Kaiser's window design to pass/stop requirements: beta and the length from Kaiser's
// formulas, each cutoff in the middle of its transition.

#include "core/design/requirements.h"
#include "core/design/windowed.h"

namespace taplore {

// The longest Kaiser design to requirements.
constexpr int kMaxKaiserTaps = kMaxWindowedTaps;

// Kaiser's beta for an attenuation of A dB: 0.1102 (A - 8.7) above 50 dB,
// 0.5842 (A - 21)^0.4 + 0.07886 (A - 21) from 21 to 50 dB, 0 below 21 dB.
double KaiserBeta(double attenuationDb);

// The attenuation the window must reach: A = -20 log10(min(dp, ds)).
double KaiserAttenuation(const Requirements& requirements);

// Kaiser's estimate (A - 8) / (2.285 dw) + 1 taps, rounded up, for the narrowest transition dw
// in radians per sample (infinite without transitions, giving 1); at most 1e9.
int KaiserLength(double attenuationDb, double transitionRadians);

// Designs `taps` taps (1 ... kMaxKaiserTaps) to pass/stop requirements (CheckTolerances): the
// ideal response is each band's gain up to the middle of the transitions beside it (the outer
// bands' gains reach on to 0 Hz and half the rate), times the Kaiser window of
// KaiserBeta(KaiserAttenuation(requirements)), which the report holds.
RequirementsDesign DesignKaiser(const Requirements& requirements, int taps);

} // namespace taplore
