#pragma once
// What a filter must do: bands with the response asked in each, and the tolerances a design
// must keep. "Requirements" throughout, so that they are never mistaken for anything else.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace taplore {

// One band of the response. Edges in Hz.
struct Band {
    double lowHz = 0.0;  // from 0 to highHz (exclusive)
    double highHz = 0.0; // up to half the rate
    // The response asked: 1 in a pass band, 0 in a stop band; any finite value for a
    // fixed-length equiripple design. For a differentiator, the slope (response gain * omega,
    // omega in radians per sample); for a Hilbert transformer, the gain of the 90-degree shift.
    double gain = 1.0;
    // How much an error here counts against the other bands' (equiripple): positive, finite.
    double weight = 1.0;
    // A pass/stop design's tolerance for this band alone, its ripple (pass) or attenuation
    // (stop) in dB, above 0; without one, the requirements' own.
    std::optional<double> toleranceDb = std::nullopt;
    // A sloped band's gain at highHz: the response asked runs linearly from gain at lowHz to
    // this at highHz (fixed-length designs, not for differentiators). None for one gain.
    std::optional<double> endGain = std::nullopt;
    // Whether its error counts relative to the gain asked at each frequency: a sloped pass band
    // of a pass/stop design, whose ripple is relative to its line. Weights and measured
    // deviations are then divided by that gain, which must stay above 0.
    bool relative = false;
};

// The gain band asks at hz, from lowHz to highHz: its gain, or the point of its line.
double GainAt(const Band& band, double hz);
// The gain asked at the band's high edge.
double EndGain(const Band& band);

// What the taps' symmetry approximates.
enum class ResponseKind {
    ordinary,      // symmetric taps: a real, linear-phase response
    hilbert,       // antisymmetric: a 90-degree phase shift
    differentiator // antisymmetric: a response rising with frequency
};

struct Requirements {
    double rate = 0.0;       // Hz, positive and finite
    std::vector<Band> bands; // in increasing frequency, with a transition between neighbours
    // The tolerances of a pass/stop design: the pass bands' ripple peak to peak and the stop
    // bands' attenuation below the pass-band gain, both in dB and above 0; a band's own
    // tolerance takes the place of its kind's.
    double rippleDb = 0.0;
    double attenuationDb = 0.0;
    ResponseKind kind = ResponseKind::ordinary;
};

// The largest deviation from 1 a pass band may have: (10^(Rp/20) - 1) / (10^(Rp/20) + 1).
double PassDeviation(double rippleDb);
// The largest response a stop band may have: 10^(-As/20).
double StopDeviation(double attenuationDb);

// A pass/stop design's tolerance for band in dB: its own, or its kind's of the requirements.
double ToleranceDb(const Requirements& requirements, const Band& band);
// The largest deviation band may have: PassDeviation or StopDeviation of its tolerance.
double AllowedDeviation(const Requirements& requirements, const Band& band);

// The smallest AllowedDeviation of the pass bands and of the stop bands, the figures the
// length estimates read (1 where there is no band of the kind).
std::pair<double, double> TightestDeviations(const Requirements& requirements);

// The deviations as dB again: the ripple peak to peak, 20 log10((1 + d) / (1 - d)), and the
// attenuation, -20 log10(d).
double RippleDb(double passDeviation);
double AttenuationDb(double stopDeviation);

// Which part of the requirements a problem lies in, so that a front-end can name its own input.
enum class RequirementsPart { rate, band, ripple, attenuation, kind, taps };

// Why requirements cannot be designed to.
struct RequirementsProblem {
    RequirementsPart part = RequirementsPart::band;
    int band = -1;    // the band at fault, counted from 0, or -1
    std::string text; // what is wrong, in words
};

// The rate and the bands: edges in order, within 0 ... rate/2, not overlapping or touching,
// finite gains, positive weights. Enough for a fixed-length equiripple design.
std::optional<RequirementsProblem> CheckBands(const Requirements& requirements);

// CheckBands, and a pass/stop design besides: every band a pass band (gain 1, or a relative
// line) or a stop band (gain 0), at least one pass band, every ripple from 1e-13 dB and every
// attenuation above 0 and up to 300 dB (finer tolerances are lost in the taps' rounding), an
// ordinary response.
std::optional<RequirementsProblem> CheckTolerances(const Requirements& requirements);

// Whether linear-phase taps of this length can give what the bands ask where their symmetry
// forces the response to zero: symmetric taps of even length and antisymmetric taps of odd
// length have none at half the rate, antisymmetric taps none at 0 Hz.
std::optional<RequirementsProblem> SymmetryProblem(const Requirements& requirements, int taps);

// The texts a fixed-length designer refuses lengths outside its range with.
struct LengthRefusals {
    int longest;               // the longest design
    const char* antisymmetric; // below 2 or above longest, for antisymmetric taps
    const char* ordinary;      // below 1 or above longest
};

// What a fixed-length design of these bands cannot be made for, in turn: the bands
// (CheckBands), the length (refusals) and the symmetry (SymmetryProblem); the text, or nullopt.
std::optional<std::string> FixedLengthProblem(const Requirements& requirements, int taps,
                                              const LengthRefusals& refusals);

// The narrowest gap between neighbouring bands, in radians per sample; infinite for one band.
double NarrowestTransition(const Requirements& requirements);

// Whether a band is a pass band of a pass/stop design: gain 1, or a relative line.
bool IsPassBand(const Band& band);

// Whether any band's error counts relative to its gain.
bool AnyRelative(const Requirements& requirements);

// The requirements with every band's error counted absolutely, as from its gain.
Requirements Absolute(Requirements requirements);

} // namespace taplore
