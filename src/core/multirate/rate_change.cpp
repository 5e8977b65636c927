#include "core/multirate/rate_change.h"

#include "core/analysis/fft.h"
#include "core/formats/crt.h"
#include "core/io/memory.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>

namespace taplore {

namespace {

// Grid points per tap of each stage at its own rate, from 0 to the rate: as the band
// measurement's 32 per tap to half the rate.
constexpr int kPointsPerTap = 64;
constexpr int kFewestPoints = 1024;

// The frequency the output takes hz to, folded into 0 ... lowRate / 2.
double Folded(double hz, double lowRate) {
    return std::fabs(hz - lowRate * std::round(hz / lowRate));
}

// The edge below which nothing may fold in: the pass band's, or half the low rate.
double ProtectedHz(const RateChangeAsk& ask) {
    return ask.alias == AliasRule::none ? LowRate(ask) / 2 : ask.passHz;
}

// Whether hz, at the high rate, lands in the protected band at the low rate from elsewhere.
bool FoldsIn(const RateChangeAsk& ask, double hz) {
    return hz > ask.passHz && hz >= LowRate(ask) - ProtectedHz(ask) &&
           (ask.alias == AliasRule::none || Folded(hz, LowRate(ask)) <= ask.passHz);
}

// Each stage's magnitude over its nominal gain at bins k / length of its own rate, k up to
// length - 1.
std::vector<double> StageMagnitudes(const Stage& stage, int length, double gain) {
    const std::vector<double>& taps = stage.design.taps;
    if (!mem::Fits(length, 40))
        throw std::bad_alloc();
    std::vector<Complex> bins(length, Complex{0.0, 0.0});
    // Taps longer than the transform wrap around: the bins still sample the response.
    for (std::size_t n = 0; n < taps.size(); ++n)
        bins[n % static_cast<std::size_t>(length)].re += taps[n];
    FftPlan(length).Transform(bins.data());
    std::vector<double> magnitudes(length);
    for (int k = 0; k < length; ++k)
        magnitudes[k] = std::hypot(bins[k].re, bins[k].im) / gain;
    return magnitudes;
}

} // namespace

double LowRate(const RateChangeAsk& ask) {
    return ask.rate / ask.factor;
}

std::vector<StageSpot> StageSpots(const RateChangeAsk& ask, const std::vector<int>& factors) {
    std::vector<StageSpot> spots;
    double rate = ask.rate;
    for (int factor : factors) {
        spots.push_back({factor, rate});
        rate /= factor;
    }
    return spots;
}

double SharedPassDeviation(double rippleDb, int stages) {
    const double whole = PassDeviation(rippleDb);
    if (stages <= 1)
        return whole;
    const double k = stages;
    return std::min(std::pow(1 + whole, 1 / k) - 1, 1 - std::pow(1 - whole, 1 / k));
}

Requirements StageRequirements(const RateChangeAsk& ask, const StageSpot& spot, int stages) {
    Requirements r;
    r.rate = spot.rate;
    const double next = spot.rate / spot.factor;
    r.bands = {{0.0, ask.passHz, 1.0, 1.0}, {next - ProtectedHz(ask), spot.rate / 2, 0.0, 1.0}};
    r.rippleDb = stages > 1 ? RippleDb(SharedPassDeviation(ask.rippleDb, stages)) : ask.rippleDb;
    // The other stages pass a stage's stop band with a gain up to 1 + the whole ripple's
    // deviation; one stage alone keeps the attenuation asked.
    r.attenuationDb = ask.attenuationDb;
    if (stages > 1)
        r.attenuationDb += 20 * std::log10(1 + PassDeviation(ask.rippleDb));
    return r;
}

double MultiplicationsPerSample(const std::vector<int>& factors, const std::vector<int>& taps) {
    double total = 0.0, product = 1.0;
    for (std::size_t i = 0; i < factors.size() && i < taps.size(); ++i) {
        product *= factors[i];
        total += taps[i] / product;
    }
    return total;
}

CascadeFigures MeasureCascade(const RateChangeAsk& ask, const std::vector<Stage>& stages) {
    // One grid at the high rate whose points each stage's transform at its own rate samples
    // exactly: the grid's length a power of two times the rate's ratio to the last stage's.
    long long last = 1;
    for (std::size_t i = 0; i + 1 < stages.size(); ++i)
        last *= stages[i].spot.factor;
    long long base = kFewestPoints;
    long long before = 1;
    for (const Stage& stage : stages) {
        const long long wanted =
            kPointsPerTap * static_cast<long long>(stage.design.taps.size()) * before;
        base = std::max(base, (wanted + last - 1) / last);
        before *= stage.spot.factor;
    }
    // Checked before the product, which could overflow.
    if (base > FftPlan::kMaxFftLength / last)
        throw std::bad_alloc();
    const long long points =
        static_cast<long long>(std::bit_ceil(static_cast<unsigned long long>(base))) * last;
    if (points > FftPlan::kMaxFftLength)
        throw std::bad_alloc();
    std::vector<double> cascade(static_cast<std::size_t>(points / 2 + 1), 1.0);
    long long ratio = 1;
    for (const Stage& stage : stages) {
        const int length = static_cast<int>(points / ratio);
        const double gain = ask.change == RateChange::interpolate ? stage.spot.factor : 1.0;
        const std::vector<double> magnitudes = StageMagnitudes(stage, length, gain);
        for (std::size_t m = 0; m < cascade.size(); ++m)
            cascade[m] *= magnitudes[m % static_cast<std::size_t>(length)];
        ratio *= stage.spot.factor;
    }
    CascadeFigures figures;
    figures.lowestPass = std::numeric_limits<double>::infinity();
    double worst = 0.0;
    for (std::size_t m = 0; m < cascade.size(); ++m) {
        const double hz = ask.rate * static_cast<double>(m) / static_cast<double>(points);
        if (hz <= ask.passHz) {
            figures.lowestPass = std::min(figures.lowestPass, cascade[m]);
            figures.highestPass = std::max(figures.highestPass, cascade[m]);
        } else if (FoldsIn(ask, hz) && !(cascade[m] <= worst)) {
            worst = cascade[m];
            figures.worstHz = hz;
        }
    }
    figures.rippleDb = 20 * std::log10(figures.highestPass / figures.lowestPass);
    figures.attenuationDb = AttenuationDb(worst);
    const double pass = PassDeviation(ask.rippleDb);
    figures.met = figures.highestPass <= 1 + pass && figures.lowestPass >= 1 - pass &&
                  worst <= StopDeviation(ask.attenuationDb);
    return figures;
}

std::optional<std::string> RateChangeProblem(const RateChangeAsk& ask) {
    if (ask.factor < 2)
        return "the factor must be 2 or more, not " + crt::FormatD(ask.factor);
    if (!(ask.passHz > 0 && ask.passHz < LowRate(ask) / 2))
        return "the pass band must end above 0 and below " + crt::FormatShortest(LowRate(ask) / 2) +
               " Hz, half the low rate";
    if (ask.method && !ask.method->Searches())
        return "the method must search for the fewest taps";
    return std::nullopt;
}

} // namespace taplore
