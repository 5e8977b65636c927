#include "core/design/minimum_phase.h"

#include "core/analysis/fft.h"
#include "core/analysis/zeros.h"
#include "core/design/band_measure.h"
#include "core/design/fewest_taps.h"
#include "core/design/requirements_design.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <new>

namespace taplore {

namespace {

// The factor's zeros may stray this far beyond the unit circle (rounding), no further.
constexpr double kOutermostZero = 1.0 + 1e-9;
// Lengths tried beyond the fewest prototype taps where the factor misses.
constexpr int kLongerTries = 8;

// The power of two at or above count, at least 64.
int PowerOfTwoFrom(std::size_t count) {
    int size = 64;
    while (static_cast<std::size_t>(size) < count)
        size *= 2;
    return size;
}

// A symmetric odd-length prototype's real amplitude A at the grid's points 0 ... M/2: the
// transform of its taps turned so that the centre tap is at 0, which is real.
std::vector<double> Amplitudes(std::span<const double> prototype, RealFftPlan& plan) {
    const int size = plan.Size();
    const std::size_t centre = prototype.size() / 2;
    std::vector<double> turned(size, 0.0);
    for (std::size_t k = 0; k <= centre; ++k) {
        turned[k] = prototype[centre + k];
        if (k > 0)
            turned[size - k] = prototype[centre - k];
    }
    std::vector<Complex> bins(size / 2 + 1);
    plan.Forward(turned.data(), bins.data());
    std::vector<double> amplitudes(bins.size());
    for (std::size_t k = 0; k < bins.size(); ++k)
        amplitudes[k] = bins[k].re;
    return amplitudes;
}

int GridFor(std::span<const double> prototype) {
    return PowerOfTwoFrom(32 * prototype.size());
}

// The factor scaled so that its pass bands' gains lie evenly about 1: the most a ripple
// peak to peak of the gains allows.
void CentrePassBands(std::vector<double>& taps, const Requirements& requirements) {
    const std::vector<GainRange> gains = MeasureGains(taps, requirements);
    double lowest = HUGE_VAL, highest = 0.0;
    for (std::size_t i = 0; i < gains.size(); ++i)
        if (IsPassBand(requirements.bands[i])) {
            lowest = std::min(lowest, gains[i].lowest);
            highest = std::max(highest, gains[i].highest);
        }
    const double scale = 2.0 / (lowest + highest);
    for (double& tap : taps)
        tap *= scale;
}

// The group delay Re{DFT(n h) / DFT(h)} at the points of a grid of 16 per tap that lie in
// the pass bands: its lowest, highest and mean.
void MeasureDelay(const std::vector<double>& taps, const Requirements& requirements,
                  MinimumPhaseReport& phase) {
    const int size = PowerOfTwoFrom(16 * taps.size());
    RealFftPlan plan(size);
    std::vector<double> padded(size, 0.0), ramp(size, 0.0);
    for (std::size_t n = 0; n < taps.size(); ++n) {
        padded[n] = taps[n];
        ramp[n] = static_cast<double>(n) * taps[n];
    }
    std::vector<Complex> response(size / 2 + 1), weighted(size / 2 + 1);
    plan.Forward(padded.data(), response.data());
    plan.Forward(ramp.data(), weighted.data());
    double lowest = HUGE_VAL, highest = -HUGE_VAL, sum = 0.0;
    int count = 0;
    for (int k = 0; k <= size / 2; ++k) {
        const double hz = k * requirements.rate / size;
        const bool inPass = std::any_of(
            requirements.bands.begin(), requirements.bands.end(), [hz](const Band& band) {
                return IsPassBand(band) && hz >= band.lowHz && hz <= band.highHz;
            });
        if (!inPass)
            continue;
        const std::complex<double> h(response[k].re, response[k].im);
        const std::complex<double> nh(weighted[k].re, weighted[k].im);
        const double delay = (nh / h).real();
        lowest = std::min(lowest, delay);
        highest = std::max(highest, delay);
        sum += delay;
        ++count;
    }
    phase.lowestDelay = lowest;
    phase.highestDelay = highest;
    phase.meanDelay = count > 0 ? sum / count : 0.0;
}

// The largest |z| of the taps' zeros; not a number where there are too many taps to find them.
double LargestZeroRadius(const std::vector<double>& taps) {
    const TapZeros zeros = FindZeros(taps);
    if (!zeros.problem.empty())
        return std::numeric_limits<double>::quiet_NaN();
    double largest = 0.0;
    for (const std::complex<double> zero : zeros.zeros)
        largest = std::max(largest, std::abs(zero));
    return largest;
}

// One prototype factored, scaled and measured.
struct Factored {
    MinimumPhaseDesign made;
    bool meets = false;
};

Factored Factor(const RequirementsDesign& prototype, const Requirements& requirements,
                const Method& method) {
    Factored factored;
    MinimumPhaseReport& phase = factored.made.phase;
    phase.prototypeTaps = static_cast<int>(prototype.taps.size());
    // At least the lift the tolerances were derived for; more where the amplitude dips below
    // the stop bands' (a transition), so that a tenth of the lift is always left.
    const double lift = SquaredMagnitudeLift(requirements);
    phase.lift = std::max(lift, 0.1 * lift - LowestAmplitude(prototype.taps));
    std::vector<double> taps = MinimumPhaseFactor(prototype.taps, phase.lift);
    CentrePassBands(taps, requirements);
    phase.largestZeroRadius = LargestZeroRadius(taps);
    MeasureDelay(taps, requirements, phase);

    RequirementsDesign& design = factored.made.design;
    design.status = prototype.status;
    design.message = prototype.message;
    design.report.warning = prototype.report.warning;
    // Too long for its zeros to be found: usable, with the doubt said.
    if (std::isnan(phase.largestZeroRadius)) {
        design.status = DesignStatus::convergedWithWarning;
        design.report.warning = "the zeros of more than " + std::to_string(kMaxZerosTaps) +
                                " taps are not checked to lie inside the unit circle";
        design.message = design.report.warning;
    }
    design.report.method = &method;
    // Kaiser's beta is the prototype's: the factor has no window of its own.
    design.report.beta = prototype.report.beta;
    design.report.requirements = requirements;
    design.report.taps = static_cast<int>(taps.size());
    MeasureReport(taps, design.report);
    design.taps = std::move(taps);
    factored.meets = Meets(design.report) && !(phase.largestZeroRadius > kOutermostZero);
    return factored;
}

MinimumPhaseDesign NotMade(DesignStatus status, std::string why) {
    return {taplore::Unmade(status, std::move(why)), {}};
}

// "a minimum-phase design of 70000 taps needs a prototype of 139999, longer than the longest
// design (131071)"
std::string PrototypeTooLong(int taps, int longest) {
    return "a minimum-phase design of " + std::to_string(taps) + " taps needs a prototype of " +
           std::to_string(2 * static_cast<long long>(taps) - 1) +
           ", longer than the longest design (" + std::to_string(longest) + ")";
}

// The linear-phase design's length the minimum-phase one is compared with: the length asked,
// or the fewest taps of the same method (none where that search fails).
void CompareWithLinearPhase(MinimumPhaseDesign& made, const Requirements& requirements,
                            const Method& method, int taps) {
    MinimumPhaseReport& phase = made.phase;
    phase.linearTaps =
        taps > 0 ? taps : static_cast<int>(DesignFewestTaps(requirements, method).taps.size());
    if (phase.linearTaps == 0)
        return;
    phase.linearDelay = (phase.linearTaps - 1) / 2.0;
    phase.tapsSaved = phase.linearTaps - made.design.report.taps;
}

MinimumPhaseDesign Design(const Requirements& requirements, const Method& method, int taps,
                          const Progress& progress) {
    const Requirements squared = SquaredMagnitudeRequirements(requirements);
    if (auto problem = CheckTolerances(squared))
        return NotMade(DesignStatus::refused,
                       "the squared magnitude's prototype: " + problem->text);
    if (taps > 0 && 2 * static_cast<long long>(taps) - 1 > method.longest)
        return NotMade(DesignStatus::refused, PrototypeTooLong(taps, method.longest));
    RequirementsDesign prototype = taps > 0
                                       ? DesignAtLength(squared, method, 2 * taps - 1, progress)
                                       : DesignFewestTaps(squared, method, progress);
    int designs = prototype.report.designs;
    for (int tries = 0;; ++tries) {
        if (!HasTaps(prototype.status))
            return {prototype, {}};
        const int length = static_cast<int>(prototype.taps.size());
        // A factor needs an odd prototype: an even answer's next longer length.
        if (length % 2 == 1) {
            Factored factored = Factor(prototype, requirements, method);
            factored.made.design.report.designs = designs;
            if (factored.made.phase.largestZeroRadius > kOutermostZero)
                return NotMade(DesignStatus::failed,
                               "the minimum-phase factor has a zero outside the unit circle");
            if (factored.meets || taps > 0) {
                CompareWithLinearPhase(factored.made, requirements, method, taps);
                return factored.made;
            }
        }
        if (tries == kLongerTries || length + 1 > method.longest)
            return NotMade(DesignStatus::failed, "no minimum-phase factor up to " +
                                                     std::to_string((length + 1) / 2) +
                                                     " taps meets the requirements");
        prototype =
            DesignAtLength(squared, method, length % 2 == 1 ? length + 2 : length + 1, progress);
        ++designs;
    }
}

} // namespace

double SquaredMagnitudeLift(const Requirements& requirements) {
    const auto [dp, ds] = TightestDeviations(requirements);
    return ds * ds / (2.0 * (1.0 + dp * dp) - ds * ds);
}

Requirements SquaredMagnitudeRequirements(const Requirements& requirements) {
    const auto [dp, ds] = TightestDeviations(requirements);
    const double lift = SquaredMagnitudeLift(requirements);
    Requirements squared = requirements;
    for (Band& band : squared.bands)
        band.toleranceDb.reset();
    squared.rippleDb = RippleDb((1.0 + lift) * 2.0 * dp / (1.0 + dp * dp));
    squared.attenuationDb = AttenuationDb(0.9 * lift);
    return squared;
}

double LowestAmplitude(std::span<const double> prototype) {
    RealFftPlan plan(GridFor(prototype));
    const std::vector<double> amplitudes = Amplitudes(prototype, plan);
    return *std::min_element(amplitudes.begin(), amplitudes.end());
}

std::vector<double> MinimumPhaseFactor(std::span<const double> prototype, double lift) {
    const int size = GridFor(prototype);
    const int half = size / 2;
    RealFftPlan plan(size);
    const std::vector<double> amplitudes = Amplitudes(prototype, plan);
    // log |H| = log(A + lift) / 2, even in frequency.
    std::vector<double> logMagnitude(size);
    for (int k = 0; k <= half; ++k) {
        const double squared = amplitudes[k] + lift;
        if (!(squared > 0.0))
            return {};
        logMagnitude[k] = 0.5 * std::log(squared);
        if (k > 0 && k < half)
            logMagnitude[size - k] = logMagnitude[k];
    }
    // The real cepstrum: the inverse transform of an even real sequence is its forward one
    // over the size, and real.
    std::vector<Complex> bins(half + 1);
    plan.Forward(logMagnitude.data(), bins.data());
    // Folded onto the causal side (the times after 0 doubled, those before dropped), it is the
    // cepstrum of the minimum-phase filter with that magnitude: log H = its transform.
    std::vector<double> folded(size, 0.0);
    folded[0] = bins[0].re / size;
    for (int n = 1; n < half; ++n)
        folded[n] = 2.0 * bins[n].re / size;
    folded[half] = bins[half].re / size;
    plan.Forward(folded.data(), bins.data());
    // H = exp(log H) on the whole circle (conjugate-symmetric), and h its inverse transform:
    // the conjugate of the forward transform of the conjugate, over the size.
    std::vector<Complex> response(size);
    for (int k = 0; k <= half; ++k) {
        const std::complex<double> value = std::exp(std::complex<double>(bins[k].re, bins[k].im));
        response[k] = {value.real(), -value.imag()};
        if (k > 0 && k < half)
            response[size - k] = {value.real(), value.imag()};
    }
    FftPlan(size).Transform(response.data());
    std::vector<double> taps((prototype.size() + 1) / 2);
    for (std::size_t n = 0; n < taps.size(); ++n)
        taps[n] = response[n].re / size;
    return taps;
}

MinimumPhaseDesign DesignMinimumPhase(const Requirements& requirements, const Method& method,
                                      int taps, const Progress& progress) {
    if (auto problem = CheckTolerances(requirements))
        return NotMade(DesignStatus::refused, problem->text);
    // The prototype follows the squared magnitude, which a line's square does not keep.
    if (AnyRelative(requirements))
        return NotMade(DesignStatus::refused,
                       "a minimum-phase design takes flat pass bands only, not a sloped one");
    if (taps < 0)
        return NotMade(DesignStatus::refused, "the taps must be 0 (the fewest) or more");
    if (taps == 0 && !method.Searches())
        return NotMade(DesignStatus::refused, "this method designs only the length it is given");
    try {
        return Design(requirements, method, taps, progress);
    } catch (const std::bad_alloc&) {
        return NotMade(DesignStatus::failed, "not enough memory for the design");
    }
}

} // namespace taplore
