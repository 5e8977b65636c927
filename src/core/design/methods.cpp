#include "core/design/methods.h"

#include "core/design/equiripple.h"
#include "core/design/kaiser.h"
#include "core/design/least_squares.h"
#include "core/design/windowed.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace taplore {

namespace {

// Kaiser's estimate for equiripple designs: (-20 log10(sqrt(dp ds)) - 13) / (14.6 df) + 1, df
// the narrowest transition in cycles per sample; one tap without transitions.
int EquirippleEstimate(const Requirements& requirements) {
    const double transition = NarrowestTransition(requirements);
    if (!std::isfinite(transition))
        return 1;
    const auto [dp, ds] = TightestDeviations(requirements);
    const double cycles = transition / (2 * std::numbers::pi);
    const double taps =
        std::ceil((-20.0 * std::log10(std::sqrt(dp * ds)) - 13.0) / (14.6 * cycles) + 1.0);
    return static_cast<int>(std::clamp(taps, 1.0, 1e9));
}

int KaiserEstimate(const Requirements& requirements) {
    return KaiserLength(KaiserAttenuation(requirements), NarrowestTransition(requirements));
}

RequirementsDesign Equiripple(const LengthAsk& ask) {
    const std::vector<double> noStart;
    EquirippleResult result = DesignEquiripple(ask.requirements, ask.taps, ask.progress,
                                               ask.start ? *ask.start : noStart, ask.missesAbove);
    RequirementsDesign design;
    design.status = result.status;
    design.message = std::move(result.message);
    design.taps = std::move(result.taps);
    design.report.weightedDeviation = result.deviation;
    design.report.iterations = result.iterations;
    design.report.extended = result.extended;
    design.report.warning = design.message;
    if (ask.start && HasTaps(design.status))
        *ask.start = std::move(result.extremalHz);
    return design;
}

RequirementsDesign Kaiser(const LengthAsk& ask) {
    return DesignKaiser(ask.requirements, ask.taps);
}

RequirementsDesign LeastSquares(const LengthAsk& ask) {
    return DesignLeastSquares(ask.requirements, ask.taps, ask.progress);
}

template <WindowKind kKind> RequirementsDesign Windowed(const LengthAsk& ask) {
    return DesignWindowed(ask.requirements, ask.taps, kKind, 0.0);
}

// The three that search, then the windows of the table but Kaiser's, whose beta the Kaiser
// method chooses.
constexpr Method kMethods[] = {
    {"equiripple", "Equiripple", "equiripple", true, true, true, false, kMaxEquirippleTaps,
     EquirippleEstimate, Equiripple},
    {"kaiser", "Kaiser window", "Kaiser window", true, false, false, true, kMaxKaiserTaps,
     KaiserEstimate, Kaiser},
    // Least squares needs a few taps more than equiripple: the search starts from its estimate.
    {"least-squares", "Least squares", "least-squares design", true, true, true, false,
     kMaxLeastSquaresTaps, EquirippleEstimate, LeastSquares},
    {"hamming", "Hamming window", "Hamming window", true, false, false, false, kMaxWindowedTaps,
     nullptr, Windowed<WindowKind::hamming>},
    {"rectangular", "Rectangular window", "rectangular window", true, false, false, false,
     kMaxWindowedTaps, nullptr, Windowed<WindowKind::rectangular>},
    {"hann", "Hann window", "Hann window", true, false, false, false, kMaxWindowedTaps, nullptr,
     Windowed<WindowKind::hann>},
    {"blackman", "Blackman window", "Blackman window", true, false, false, false, kMaxWindowedTaps,
     nullptr, Windowed<WindowKind::blackman>},
    {"blackman-harris", "Blackman–Harris window", "Blackman–Harris window", true, false, false,
     false, kMaxWindowedTaps, nullptr, Windowed<WindowKind::blackmanHarris>},
};

} // namespace

std::span<const Method> Methods() {
    return kMethods;
}

const Method* FindMethod(std::string_view name) {
    for (const Method& method : kMethods)
        if (method.name == name)
            return &method;
    return nullptr;
}

const Method& DefaultMethod() {
    return kMethods[0];
}

namespace {

// The names or titles of the methods kept, joined as "a, b or c".
std::string Joined(bool (*keep)(const Method&), std::string_view Method::*part) {
    std::vector<std::string_view> names;
    for (const Method& method : kMethods)
        if (!keep || keep(method))
            names.push_back(method.*part);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

} // namespace

std::string MethodNames(bool (*keep)(const Method&)) {
    return Joined(keep, &Method::name);
}

std::string MethodTitles(bool (*keep)(const Method&)) {
    return Joined(keep, &Method::title);
}

} // namespace taplore
