#pragma once
// Nyquist (L-th-band) low-pass filters: every L-th tap away from the centre exactly 0 and the
// centre exactly 1/L, so that an interpolator by L passes its input samples through unchanged
// and a decimator or interpolator skips the zero taps' multiplications. Half-band filters are
// the case L = 2.

#include "core/design/design_result.h"
#include "core/design/methods.h"
#include "core/design/requirements.h"
#include "core/progress.h"

#include <optional>
#include <string>

namespace taplore {

// Where the stop band of an L-th-band low-pass passing 0 ... passHz starts: the response is
// mirrored about rate / (2L), so rate / L - passHz.
double NyquistStopEdge(double rate, double passHz, int band);

// The requirements of an L-th-band low-pass: the pass band 0 ... passHz and the stop band from
// NyquistStopEdge to half the rate, with these tolerances.
Requirements NyquistRequirements(double rate, double passHz, int band, double rippleDb,
                                 double attenuationDb);

// Why these requirements cannot be designed as an L-th-band low-pass: L below 2, bands other
// than NyquistRequirements', tolerances CheckTolerances refuses; nullopt where they can.
std::optional<std::string> NyquistProblem(const Requirements& requirements, int band);

// Whether a length can have an L-th band's zeros and nonzero end taps: odd, with the end taps'
// distance from the centre no multiple of L (for L = 2: 3, 7, 11, ..., 4m - 1).
bool IsNyquistLength(int taps, int band);

// Whether a method of the table keeps the zeros exact: the Kaiser window for every L, the
// equiripple half-band construction for L = 2.
bool DesignsNyquist(const Method& method, int band);

// The longest L-th-band design of a method: the longest allowed length it can make.
int LongestNyquist(const Method& method, int band);

// One length of an L-th-band design (IsNyquistLength, up to LongestNyquist), not yet measured.
// Equiripple (L = 2): h = (z^-(2m-1) + G(z^2)) / 2 from G, the 2m-tap one-band equiripple
// low-pass approximating 1 over 0 ... 2 passHz, after Vaidyanathan and Nguyen; its error d
// gives the half-band d / 2 in both bands. Kaiser: sin(pi n / L) / (pi n) under the Kaiser
// window of KaiserBeta(KaiserAttenuation(requirements)).
RequirementsDesign DesignNyquistLength(const Requirements& requirements, int band,
                                       const Method& method, int taps,
                                       const Progress& progress = {});

// The fewest taps of the allowed lengths whose design, measured by MeasureDeviations, keeps the
// tolerances; the next shorter allowed length is designed too, and misses. The report is
// complete: measured, its method, its band L and the shorter length. Refused where
// NyquistProblem or DesignsNyquist says so, failed where no length up to the longest meets.
RequirementsDesign DesignFewestNyquistTaps(const Requirements& requirements, int band,
                                           const Method& method, const Progress& progress = {});

} // namespace taplore
