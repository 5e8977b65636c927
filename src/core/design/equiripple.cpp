#include "core/design/equiripple.h"

#include "core/design/equiripple_exchange.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace taplore {

namespace {
using namespace equiripple;

// Refused, with the reason, or nullopt.
std::optional<EquirippleResult> InputProblem(const Requirements& r, int taps) {
    const auto problem = FixedLengthProblem(
        r, taps,
        {kMaxEquirippleTaps, "the taps must be from 2 to 131071 for antisymmetric designs",
         "the taps must be from 1 to 131071"});
    if (!problem)
        return std::nullopt;
    EquirippleResult refused;
    refused.status = DesignStatus::refused;
    refused.message = *problem;
    return refused;
}

// Designs from this many coefficients on start from a shorter design's extrema, scaled.
constexpr int kScaledFrom = 128;

// The bands with the ratios of their weights halved in dB. Half the length reaches about half
// the depth in dB: with the full ratios, the shorter design of deep requirements would give up
// the pass band for the stop band, and its extrema would lead the longer design nowhere.
Requirements HalfAsDeep(const Requirements& r) {
    Requirements relaxed = r;
    for (Band& band : relaxed.bands)
        band.weight = std::sqrt(band.weight);
    return relaxed;
}

// A half-length design first: its extrema start a long design far better than an even spread.
EquirippleResult Design(const Requirements& r, const Form& form, const Progress& progress,
                        const std::vector<double>& startHz,
                        double missesAbove = std::numeric_limits<double>::infinity()) {
    std::vector<double> start;
    for (double hz : startHz)
        start.push_back(Radians(hz, r.rate));
    if (start.empty() && form.Coefficients() > kScaledFrom) {
        int taps = form.taps / 2;
        taps += (taps % 2) != (form.taps % 2);
        // The shorter design's progress is the first tenth of this one's.
        const Progress first = [&progress](double done) {
            return !progress || progress(done / 10);
        };
        const EquirippleResult shorter =
            Design(HalfAsDeep(r), Form{taps, form.antisymmetric}, first, {});
        if (shorter.status == DesignStatus::stopped)
            return shorter;
        for (double hz : shorter.extremalHz)
            start.push_back(Radians(hz, r.rate));
    }
    const Progress rest = [&progress](double done) {
        return !progress || progress(0.1 + 0.9 * done);
    };
    return RunExchange(r, form, missesAbove, start, rest);
}

// Where rounding, not the bands, ends the exchange: the best shorter design's error lies this
// far (160 dB) below the largest gain asked in every band, about where the exchange stops
// resolving the ripples of double taps.
constexpr double kPrecisionFloor = 1e-8;

// "the optimum lies below what double taps resolve: 124 taps reach the same"
std::string PrecisionFloorNote(int taps) {
    return "the optimum lies below what double taps resolve: " + std::to_string(taps) +
           " taps reach the same";
}

// Failures rounding may have caused: a response beyond what doubles hold, an alternation lost
// below the rounding, and a stall where the coefficients no longer resolve the ripples (one
// band over half the range, 175 dB down: the coefficients swell beyond it).
bool Rounded(const EquirippleResult& result) {
    return result.status == DesignStatus::failed &&
           (result.message.starts_with("the response swells") ||
            result.message.starts_with("the error lost its alternation") ||
            result.message.starts_with("the exchange stalled"));
}

// The weighted deviation at the precision floor: a band's error is the deviation over its
// weight, so the lightest band's error decides.
double FloorDeviation(const Requirements& r) {
    double gain = 1.0, lightest = std::numeric_limits<double>::infinity();
    for (const Band& band : r.bands) {
        gain = std::max({gain, std::fabs(band.gain), std::fabs(EndGain(band))});
        lightest = std::min(lightest, band.weight);
    }
    return kPrecisionFloor * gain * lightest;
}

// A length whose optimum lies below what double taps hold: the longest shorter length of the
// same parity that converges, with zero taps added at both ends (the same response), where that
// design reaches the rounding floor itself; the failure as it was otherwise.
EquirippleResult AtThePrecisionFloor(const Requirements& r, const Form& form,
                                     EquirippleResult failure) {
    // The lengths of the parity below the failing one, shortest + 2k, halved to the longest
    // that converges.
    const int shortest = form.Odd() ? (form.antisymmetric ? 3 : 1) : 2;
    int low = 0, high = (form.taps - shortest) / 2 - 1, converges = 0;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int length = shortest + 2 * middle;
        if (HasTaps(Design(r, Form{length, form.antisymmetric}, {}, {}).status)) {
            converges = length;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (converges == 0)
        return failure;
    EquirippleResult best = Design(r, Form{converges, form.antisymmetric}, {}, {});
    if (!(best.deviation <= FloorDeviation(r)))
        return failure;
    const int pad = (form.taps - converges) / 2;
    best.taps.insert(best.taps.begin(), static_cast<std::size_t>(pad), 0.0);
    best.taps.resize(static_cast<std::size_t>(form.taps), 0.0);
    best.status = DesignStatus::convergedWithWarning;
    best.message = PrecisionFloorNote(converges);
    return best;
}

} // namespace

EquirippleResult DesignEquiripple(const Requirements& requirements, int taps,
                                  const Progress& progress, const std::vector<double>& startHz,
                                  double missesAbove) {
    if (auto refused = InputProblem(requirements, taps))
        return *refused;
    try {
        const Form form{taps, requirements.kind != ResponseKind::ordinary};
        EquirippleResult result = Design(requirements, form, progress, startHz, missesAbove);
        return Rounded(result) ? AtThePrecisionFloor(requirements, form, std::move(result))
                               : result;
    } catch (const std::bad_alloc&) {
        EquirippleResult result;
        result.status = DesignStatus::failed;
        result.message = "not enough memory for the design";
        return result;
    }
}

} // namespace taplore
