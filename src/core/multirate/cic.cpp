#include "core/multirate/cic.h"

#include "core/design/band_measure.h"
#include "core/design/equiripple.h"
#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;
// Linear pieces along the inverse droop: their chords stray from the curve by far less than
// any ripple asked.
constexpr int kPassPieces = 16;
// The gap the engine needs between neighbouring bands, as a share of a piece.
constexpr double kPieceGap = 1e-9;
constexpr int kPointsPerTap = 32;
constexpr int kLeastPoints = 2048;

Band PassPiece(const CompensatorAsk& ask, double low, double high) {
    Band band;
    band.lowHz = low;
    band.highHz = high;
    band.gain = 1.0 / CicGainAt(ask, low);
    band.endGain = 1.0 / CicGainAt(ask, high);
    band.weight = 2.0 / (band.gain + *band.endGain) / PassDeviation(ask.rippleDb);
    return band;
}

bool Designable(const std::vector<double>& taps, const CompensatorAsk& ask) {
    return !taps.empty() && MeasureCompensator(ask, taps).met;
}

// Whether the work is to stop. The search knows no share of its work ahead: it only asks.
bool Stopping(const Progress& progress) {
    return progress && !progress(0.0);
}

// No taps once the work is to stop, so that the search runs out at once.
std::vector<double> TapsAt(const Requirements& requirements, int taps, const Progress& progress) {
    if (Stopping(progress))
        return {};
    const Progress asking =
        progress ? Progress([&progress](double) { return progress(0.0); }) : Progress();
    EquirippleResult result = DesignEquiripple(requirements, taps, asking);
    return HasTaps(result.status) ? std::move(result.taps) : std::vector<double>{};
}

} // namespace

std::optional<CicShape> ParseCic(std::string_view text) {
    std::vector<int> parts;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        const auto part = crt::StrictAtoi(text.substr(start, colon - start));
        if (!part)
            return std::nullopt;
        parts.push_back(*part);
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    if (parts.size() < 2 || parts.size() > 3 || parts[0] < 1 || parts[1] < 2 ||
        (parts.size() == 3 && parts[2] < 1))
        return std::nullopt;
    return CicShape{parts[0], parts[1], parts.size() == 3 ? parts[2] : 1};
}

std::string CicText(const CicShape& cic) {
    return crt::FormatD(cic.stages) + ":" + crt::FormatD(cic.factor) + ":" +
           crt::FormatD(cic.delay);
}

double CicGain(const CicShape& cic, double hz, double inputRate) {
    // The comb spans R D input samples; the integrators run at the input rate.
    const double x = kPi * hz / inputRate;
    const double rd = static_cast<double>(cic.factor) * cic.delay;
    const double s = std::sin(x);
    // At 0 Hz both sines vanish and the ratio tends to 1.
    const double ratio = std::fabs(s) < 1e-300 ? 1.0 : std::sin(rd * x) / (rd * s);
    return std::pow(std::fabs(ratio), cic.stages);
}

double CicGainAt(const CompensatorAsk& ask, double hz) {
    return CicGain(ask.cic, hz, ask.rate * ask.cic.factor);
}

std::vector<double> CicLevelsDb(const CompensatorAsk& ask, int points) {
    std::vector<double> levels(static_cast<std::size_t>(points / 2));
    for (int k = 0; k < points / 2; ++k)
        levels[k] = 20 * std::log10(CicGainAt(ask, ask.rate * k / points));
    return levels;
}

double FoldingStopHz(double rate, int decimate, double passHz) {
    return rate / decimate - passHz;
}

Requirements CompensatorRequirements(const CompensatorAsk& ask) {
    Requirements requirements;
    requirements.rate = ask.rate;
    requirements.rippleDb = ask.rippleDb;
    requirements.attenuationDb = ask.attenuationDb;
    const double piece = ask.passHz / kPassPieces;
    for (int i = 0; i < kPassPieces; ++i) {
        const double low = piece * i;
        const double high = i + 1 == kPassPieces ? ask.passHz : piece * (i + 1 - kPieceGap);
        requirements.bands.push_back(PassPiece(ask, low, high));
    }
    Band stop;
    stop.lowHz = ask.stopHz;
    stop.highHz = ask.rate / 2;
    stop.gain = 0.0;
    stop.weight = 1.0 / StopDeviation(ask.attenuationDb);
    requirements.bands.push_back(stop);
    return requirements;
}

CompensatorFigures MeasureCompensator(const CompensatorAsk& ask, const std::vector<double>& taps) {
    CompensatorFigures figures;
    figures.droopDb = -20 * std::log10(CicGainAt(ask, ask.passHz));
    const int points = std::max(kLeastPoints, kPointsPerTap * static_cast<int>(taps.size()));
    figures.lowestPass = HUGE_VAL;
    double highestStop = 0.0;
    for (int m = 0; m <= points; ++m) {
        const double hz = ask.rate / 2 * m / points;
        const double pass = std::min(hz, ask.passHz), stop = std::max(hz, ask.stopHz);
        for (const double at : {pass, stop}) {
            const double gain = CicGainAt(ask, at) * MagnitudeAt(taps, 2 * kPi * at / ask.rate);
            if (at == pass) {
                figures.lowestPass = std::min(figures.lowestPass, gain);
                figures.highestPass = std::max(figures.highestPass, gain);
            } else {
                highestStop = std::max(highestStop, gain);
            }
        }
    }
    figures.rippleDb = 20 * std::log10(figures.highestPass / figures.lowestPass);
    figures.attenuationDb = -20 * std::log10(highestStop);
    figures.met = figures.rippleDb <= ask.rippleDb && figures.attenuationDb >= ask.attenuationDb &&
                  figures.lowestPass <= 1.0 && figures.highestPass >= 1.0;
    return figures;
}

// The shortest of the lengths first, first + 2, ... up to `keeping`, which keeps the ask, by
// halving the gap: within a parity a longer design is never worse.
int ShortestOfParity(const Requirements& requirements, const CompensatorAsk& ask, int first,
                     int keeping, const Progress& progress) {
    int missing = first - 2;
    while (keeping - missing > 2) {
        const int middle = missing + (keeping - missing) / 4 * 2;
        (Designable(TapsAt(requirements, middle, progress), ask) ? keeping : missing) = middle;
    }
    return keeping;
}

Compensator DesignCompensator(const CompensatorAsk& ask, const Progress& progress) {
    const Requirements requirements = CompensatorRequirements(ask);
    // Doubling until a length keeps the ask; where a design fails instead (far longer designs
    // of wide transitions swell beyond what doubles hold), a length at a time from the last miss.
    int missed = 0, longer = 3;
    bool stepping = false;
    while (true) {
        if (longer > kMaxEquirippleTaps)
            return {};
        const std::vector<double> taps = TapsAt(requirements, longer, progress);
        if (Designable(taps, ask))
            break;
        if (taps.empty() && stepping)
            return {};
        if (taps.empty()) {
            stepping = true;
            longer = missed + 1;
            continue;
        }
        missed = longer;
        longer = stepping ? longer + 1 : 2 * longer + 1;
    }
    // Then each parity up to it on its own: even lengths have a zero at half the rate.
    int fewest = longer;
    for (const int first : {1, 2}) {
        const int top = longer - (longer - first) % 2;
        if (top == longer || (top >= first && Designable(TapsAt(requirements, top, progress), ask)))
            fewest = std::min(fewest, ShortestOfParity(requirements, ask, first, top, progress));
    }
    Compensator compensator;
    // The two shorter lengths the report names are designed and measured: one that keeps the
    // ask after all (a design of a parity that swelled in the search) becomes the answer.
    for (bool shortened = true; shortened;) {
        shortened = false;
        compensator.shorter.clear();
        for (int taps = fewest - 1; taps >= 1 && taps >= fewest - 2 && !shortened; --taps) {
            const std::vector<double> designed = TapsAt(requirements, taps, progress);
            shortened = Designable(designed, ask);
            compensator.shorter.emplace_back(taps, MeasureCompensator(ask, designed));
            if (shortened)
                fewest = taps;
        }
    }
    compensator.taps = TapsAt(requirements, fewest, progress);
    if (compensator.taps.empty())
        return {};
    compensator.figures = MeasureCompensator(ask, compensator.taps);
    return compensator;
}

const Method& CompensatorMethod() {
    return *FindMethod("equiripple");
}

std::optional<std::string> CompensatorProblem(const CompensatorAsk& ask) {
    if (ask.cic.stages < 1 || ask.cic.delay < 1)
        return "a CIC needs at least one stage and a delay of at least 1";
    if (ask.cic.factor < 2)
        return "a CIC's factor must be 2 or more";
    if (!(ask.rate > 0.0) || !std::isfinite(ask.rate))
        return "the rate must be positive and finite";
    if (!(ask.passHz > 0.0 && ask.passHz < ask.stopHz && ask.stopHz < ask.rate / 2))
        return "the pass band must end below the stop band, and that below half the rate";
    // The CIC's first null lies at its output rate over D: no FIR lifts a zero.
    if (ask.passHz >= ask.rate / ask.cic.delay)
        return "the pass band reaches the CIC's first null, at its output rate over its delay";
    Requirements tolerances = CompensatorRequirements(ask);
    tolerances.bands = {tolerances.bands.front(), tolerances.bands.back()};
    tolerances.bands.front().gain = 1.0;
    tolerances.bands.front().endGain.reset();
    if (const auto problem = CheckTolerances(tolerances))
        return problem->text;
    return std::nullopt;
}

} // namespace taplore
