#include "core/design/pulse_shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;

constexpr PulseShapeInfo kShapes[] = {
    {PulseShape::raisedCosine, "rc", "raised cosine", false},
    {PulseShape::rootRaisedCosine, "rrc", "root raised cosine", false},
    {PulseShape::gaussian, "gaussian", "Gaussian", true},
};

constexpr PulseGainInfo kGains[] = {
    {PulseGain::unitEnergy, "unit-energy"},
    {PulseGain::unitDc, "unit-dc"},
    {PulseGain::unitPeak, "unit-peak"},
};

// sin(pi x), exactly 0 at every integer: x is reduced by whole turns (exact) and folded into
// [-1/2, 1/2] (exact by Sterbenz's lemma) before the sine sees it.
double SinPi(double x) {
    const double r = x - 2.0 * std::nearbyint(x / 2.0);
    if (r == std::trunc(r))
        return 0.0;
    const double folded = r > 0.5 ? 1.0 - r : (r < -0.5 ? -1.0 - r : r);
    return std::sin(kPi * folded);
}

// sin(pi x) / (pi x), 1 at 0.
double Sinc(double x) {
    return x == 0.0 ? 1.0 : SinPi(x) / (kPi * x);
}

// The raised cosine sinc(t) cos(pi a t) / (1 - (2 a t)^2), t in symbols. The second factor is
// written as pi/4 (sinc(a t + 1/2) + sinc(a t - 1/2)), the same function without the 0/0 at
// t = 1/(2a): there it is pi/4 sinc(1/(2a)) with no special case to miss.
double RaisedCosine(double t, double alpha) {
    return Sinc(t) * (kPi / 4) * (Sinc(alpha * t + 0.5) + Sinc(alpha * t - 0.5));
}

// The root raised cosine of unit energy for a symbol period of 1:
// (sin(pi t (1 - a)) + 4 a t cos(pi t (1 + a))) / (pi t (1 - (4 a t)^2)), with its limits at
// t = 0 and t = 1/(4a). A sample time is a fraction of whole numbers, so it lands on 1/(4a)
// exactly or at least about 1/(samples per symbol * the roll-off's denominator) away: a
// relative distance of 1e-9 tells the two apart for any roll-off written with a few digits.
double RootRaisedCosine(double t, double alpha) {
    if (t == 0.0)
        return 1.0 - alpha + 4.0 * alpha / kPi;
    const double x = 4.0 * alpha * t;
    if (std::fabs(x - 1.0) <= 1e-9) {
        const double angle = kPi / (4.0 * alpha);
        return alpha / std::numbers::sqrt2 *
               ((1.0 + 2.0 / kPi) * std::sin(angle) + (1.0 - 2.0 / kPi) * std::cos(angle));
    }
    return (std::sin(kPi * t * (1.0 - alpha)) + x * std::cos(kPi * t * (1.0 + alpha))) /
           (kPi * t * (1.0 - x * x));
}

// exp(-t^2 / (2 s^2)) with s = sqrt(ln 2) / (2 pi BT): the Gaussian whose spectrum,
// exp(-2 (pi s f)^2), is 3 dB down at f = BT symbol rates.
double Gaussian(double t, double bt) {
    const double sigma = std::sqrt(std::numbers::ln2) / (2.0 * kPi * bt);
    return std::exp(-t * t / (2.0 * sigma * sigma));
}

double PulseAt(PulseShape shape, double t, double shaping) {
    switch (shape) {
    case PulseShape::raisedCosine:
        return RaisedCosine(t, shaping);
    case PulseShape::rootRaisedCosine:
        return RootRaisedCosine(t, shaping);
    case PulseShape::gaussian:
        break;
    }
    return Gaussian(t, shaping);
}

// What the taps are divided by for the gain asked.
double GainOf(const std::vector<double>& taps, PulseGain gain) {
    switch (gain) {
    case PulseGain::unitEnergy:
        return std::sqrt(std::inner_product(taps.begin(), taps.end(), taps.begin(), 0.0));
    case PulseGain::unitDc:
        return std::accumulate(taps.begin(), taps.end(), 0.0);
    case PulseGain::unitPeak:
        break;
    }
    double peak = 0.0;
    for (const double tap : taps)
        peak = std::max(peak, std::fabs(tap));
    return peak;
}

PulseDesign Refused(std::string why) {
    return {DesignStatus::refused, std::move(why), {}};
}

std::optional<std::string> ProblemOf(const PulseRequest& request) {
    if (request.spanSymbols < 1)
        return "the span must be at least 1 symbol";
    if (request.samplesPerSymbol < 1)
        return "the samples per symbol must be at least 1";
    const std::int64_t taps = std::int64_t{request.spanSymbols} * request.samplesPerSymbol + 1;
    if (taps > kMaxPulseTaps)
        return "the span and samples per symbol give " + std::to_string(taps) +
               " taps, more than the longest pulse (" + std::to_string(kMaxPulseTaps) + ")";
    if (request.shape == PulseShape::gaussian) {
        if (!(request.shaping > 0.0 && std::isfinite(request.shaping)))
            return std::string("the bandwidth-time product must be above 0 and finite");
    } else if (!(request.shaping >= 0.0 && request.shaping <= 1.0)) {
        return std::string("the roll-off must be from 0 to 1");
    }
    return std::nullopt;
}

} // namespace

std::span<const PulseShapeInfo> PulseShapes() {
    return kShapes;
}

std::span<const PulseGainInfo> PulseGains() {
    return kGains;
}

const PulseShapeInfo* FindPulseShape(std::string_view name) {
    for (const PulseShapeInfo& info : kShapes)
        if (info.name == name)
            return &info;
    return nullptr;
}

const PulseGainInfo* FindPulseGain(std::string_view name) {
    for (const PulseGainInfo& info : kGains)
        if (info.name == name)
            return &info;
    return nullptr;
}

const PulseShapeInfo& InfoOf(PulseShape shape) {
    return *std::ranges::find(kShapes, shape, &PulseShapeInfo::shape);
}

const PulseGainInfo& InfoOf(PulseGain gain) {
    return *std::ranges::find(kGains, gain, &PulseGainInfo::gain);
}

PulseGain DefaultPulseGain(PulseShape shape) {
    return shape == PulseShape::rootRaisedCosine ? PulseGain::unitEnergy : PulseGain::unitDc;
}

PulseDesign DesignPulse(const PulseRequest& request) {
    if (auto problem = ProblemOf(request))
        return Refused(*problem);
    const int sps = request.samplesPerSymbol;
    const int count = request.spanSymbols * sps + 1;
    std::vector<double> taps(count);
    for (int n = 0; n < count; ++n) {
        // Tap n and tap count-1-n have the same |2n - (count-1)|: the same time, the same bits.
        const double t = std::fabs(2.0 * n - (count - 1)) / (2.0 * sps);
        taps[n] = PulseAt(request.shape, t, request.shaping);
    }
    const double gain = GainOf(taps, request.gain.value_or(DefaultPulseGain(request.shape)));
    if (!(gain > 0.0 && std::isfinite(gain)))
        return Refused("the pulse is too narrow for its samples: every tap is 0");
    for (double& tap : taps)
        tap /= gain;
    return {DesignStatus::converged, {}, std::move(taps)};
}

} // namespace taplore
