#include "core/design/equiripple_grid.h"

#include "core/design/polynomial.h"
#include "core/io/memory.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

namespace taplore::equiripple {

namespace {

// The grid: at least 16 points per tap over 0 ... pi, and at least this many per free
// coefficient inside the bands, refined up to kMaxGridSteps for bands that cover little.
constexpr int kPointsPerTap = 16;
constexpr int kPointsPerCoefficient = 8;
constexpr int kMaxGridSteps = 1 << 22;

} // namespace

// The gain a band asks at omega: its gain, or the point of its line (the edges in radians).
double GainAtRadians(const Requirements& r, const Band& band, double omega) {
    return band.endGain ? GainAt(band, omega / kPi * (r.rate * 0.5)) : band.gain;
}

double Desired(const Requirements& r, const Band& band, double omega) {
    switch (r.kind) {
    case ResponseKind::hilbert:
        return -GainAtRadians(r, band, omega);
    case ResponseKind::differentiator:
        return band.gain * omega;
    default:
        return GainAtRadians(r, band, omega);
    }
}

double Weight(const Requirements& r, const Band& band, double omega) {
    if (r.kind == ResponseKind::differentiator && band.gain != 0.0)
        return band.weight / omega;
    if (band.relative)
        return band.weight / GainAtRadians(r, band, omega);
    return band.weight;
}

double Radians(double hz, double rate) {
    return kPi * (hz / (rate * 0.5));
}

Jet Times(const Jet& a, const Jet& b) {
    return {a.value * b.value, a.slope * b.value + a.value * b.slope,
            a.curvature * b.value + 2 * a.slope * b.slope + a.value * b.curvature};
}

Jet Minus(const Jet& a, const Jet& b) {
    return {a.value - b.value, a.slope - b.slope, a.curvature - b.curvature};
}

Jet FactorJet(const Form& form, double omega) {
    if (form.Odd() && !form.antisymmetric)
        return {1.0, 0.0, 0.0};
    if (form.Odd())
        return {std::sin(omega), std::cos(omega), -std::sin(omega)};
    const double c = std::cos(omega / 2), s = std::sin(omega / 2);
    return form.antisymmetric ? Jet{s, c / 2, -s / 4} : Jet{c, -s / 2, -c / 4};
}

// A sloped band's gain per radian.
double SlopeOf(const Requirements& r, const Band& band) {
    const double rise = EndGain(band) - band.gain;
    return rise / (Radians(band.highHz, r.rate) - Radians(band.lowHz, r.rate));
}

Jet DesiredJet(const Requirements& r, const Band& band, double omega) {
    if (r.kind == ResponseKind::differentiator)
        return {band.gain * omega, band.gain, 0.0};
    const double slope = SlopeOf(r, band);
    return {Desired(r, band, omega), r.kind == ResponseKind::hilbert ? -slope : slope, 0.0};
}

Jet WeightJet(const Requirements& r, const Band& band, double omega) {
    const double w = Weight(r, band, omega);
    if (r.kind == ResponseKind::differentiator && band.gain != 0.0)
        return {w, -w / omega, 2 * w / (omega * omega)};
    // weight / g(w) for the line g: its derivatives are -W g'/g and 2 W g'^2/g^2.
    if (band.relative) {
        const double share = SlopeOf(r, band) / GainAtRadians(r, band, omega);
        return {w, -w * share, 2 * w * share * share};
    }
    return {w, 0.0, 0.0};
}

bool LimitAtDc(const Requirements& r, const Form& form, const Band& band, double omega) {
    return omega == 0.0 && form.ZeroAtDc() && r.kind == ResponseKind::differentiator &&
           band.gain != 0.0;
}

Node MakeNode(const Requirements& r, const Form& form, int band, double omega, double x) {
    const Band& b = r.bands[band];
    if (LimitAtDc(r, form, b, omega)) {
        const double slope = FactorJet(form, 0.0).slope;
        return {0.0, 1.0, b.gain / slope, b.weight * slope, band};
    }
    const double q = form.Factor(omega);
    return {omega, x, Desired(r, b, omega) / q, Weight(r, b, omega) * q, band};
}

Node MakeNode(const Requirements& r, const Form& form, int band, double omega) {
    return MakeNode(r, form, band, omega, std::cos(omega));
}

Grid MakeGrid(const Requirements& r, const Form& form, int steps) {
    Grid grid;
    grid.steps = steps;
    const double step = kPi / steps;
    // cos(pi m / M) for every uniform point, from the first octant's.
    const std::vector<Complex> turns = UnitRoots(2 * steps, steps + 1);
    for (int b = 0; b < static_cast<int>(r.bands.size()); ++b) {
        const int first = grid.Size();
        const double low = Radians(r.bands[b].lowHz, r.rate);
        const double high = Radians(r.bands[b].highHz, r.rate);
        grid.Add(r, form, b, low, -1, std::cos(low));
        // Uniform points closer than half a step to an edge would only crowd it.
        const int mLow = static_cast<int>(std::floor(low / step));
        const int mHigh = static_cast<int>(std::ceil(high / step));
        for (int m = mLow; m <= mHigh; ++m) {
            const double omega = kPi * m / steps;
            if (omega > low + step / 2 && omega < high - step / 2)
                grid.Add(r, form, b, omega, m, turns[m].re);
        }
        grid.Add(r, form, b, high, -1, std::cos(high));
        grid.bandRange.emplace_back(first, grid.Size());
    }
    return grid;
}

// What a design holds for each step of its grid: the grid's points, the errors, the plans and
// arrays of the transforms. Measured at about 200 bytes.
constexpr std::uint64_t kBytesPerGridStep = 256;

Grid MakeDenseEnoughGrid(const Requirements& r, const Form& form) {
    int steps = static_cast<int>(std::bit_ceil(static_cast<unsigned>(kPointsPerTap * form.taps)));
    if (!mem::Fits(steps, kBytesPerGridStep))
        throw std::bad_alloc();
    Grid grid = MakeGrid(r, form, steps);
    while (grid.Size() < kPointsPerCoefficient * (form.Coefficients() + 1) &&
           steps < kMaxGridSteps && mem::Fits(2 * steps, kBytesPerGridStep)) {
        steps *= 2;
        grid = MakeGrid(r, form, steps);
    }
    return grid;
}

double LargestMagnitude(const std::vector<double>& values) {
    double lanes[4] = {};
    std::size_t i = 0;
    for (; i + 4 <= values.size(); i += 4)
        for (std::size_t lane = 0; lane < 4; ++lane)
            lanes[lane] = std::max(lanes[lane], std::fabs(values[i + lane]));
    for (; i < values.size(); ++i)
        lanes[0] = std::max(lanes[0], std::fabs(values[i]));
    return std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
}

std::vector<Extremum> AlternatingExtrema(const Grid& grid, const std::vector<double>& error) {
    std::vector<Extremum> extrema;
    for (const auto& [first, last] : grid.bandRange)
        for (int i = first; i < last; ++i) {
            const double e = error[i];
            const double left = i > first ? error[i - 1] : 0.0;
            const double right = i + 1 < last ? error[i + 1] : 0.0;
            const bool peak = e > 0.0 && e >= left && e >= right;
            const bool trough = e < 0.0 && e <= left && e <= right;
            if (!peak && !trough)
                continue;
            if (!extrema.empty() && (extrema.back().error > 0.0) == (e > 0.0)) {
                if (std::fabs(e) > std::fabs(extrema.back().error))
                    extrema.back() = {i, grid.nodes[i], e};
            } else {
                extrema.push_back({i, grid.nodes[i], e});
            }
        }
    return extrema;
}

void KeepLargest(std::vector<Extremum>& extrema, std::size_t count) {
    const auto size = [](const Extremum& e) { return std::fabs(e.error); };
    while (extrema.size() > count) {
        if (extrema.size() == count + 1) {
            if (size(extrema.front()) < size(extrema.back()))
                extrema.erase(extrema.begin());
            else
                extrema.pop_back();
            continue;
        }
        const auto smallest = std::min_element(
            extrema.begin(), extrema.end(),
            [&](const Extremum& a, const Extremum& b) { return size(a) < size(b); });
        const std::size_t i = static_cast<std::size_t>(smallest - extrema.begin());
        if (i == 0 || i + 1 == extrema.size()) {
            extrema.erase(smallest);
            continue;
        }
        const std::size_t neighbour = size(extrema[i - 1]) < size(extrema[i + 1]) ? i - 1 : i + 1;
        extrema.erase(extrema.begin() + static_cast<std::ptrdiff_t>(std::max(i, neighbour)));
        extrema.erase(extrema.begin() + static_cast<std::ptrdiff_t>(std::min(i, neighbour)));
    }
}

std::vector<double> TapsOf(const Form& form, const std::vector<double>& p) {
    const int n = form.taps;
    const int r = form.Coefficients();
    const auto at = [&p, r](int k) { return k < r ? p[k] : 0.0; };
    std::vector<double> h(n);
    if (form.Odd() && !form.antisymmetric) {
        const int c = (n - 1) / 2;
        h[c] = p[0];
        for (int k = 1; k < r; ++k)
            h[c - k] = h[c + k] = p[k] / 2;
    } else if (form.Odd()) {
        const int c = (n - 1) / 2;
        for (int k = 1; k <= r; ++k) {
            const double b = k == 1 ? at(0) - at(2) / 2 : (at(k - 1) - at(k + 1)) / 2;
            h[c - k] = b / 2;
            h[c + k] = -b / 2;
        }
    } else {
        const double sign = form.antisymmetric ? -1.0 : 1.0;
        for (int k = 0; k < r; ++k) {
            const double b = k == 0 ? at(0) + sign * at(1) / 2 : (at(k) + sign * at(k + 1)) / 2;
            h[n / 2 - 1 - k] = b / 2;
            h[n / 2 + k] = sign * b / 2;
        }
    }
    return h;
}

bool Same(const Reference& a, const Reference& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(),
        [](const Extremum& p, const Extremum& q) { return p.node.omega == q.node.omega; });
}

double RoundingSpread(const std::vector<Extremum>& extrema) {
    double rounding = 0.0, smallest = std::numeric_limits<double>::infinity();
    for (const Extremum& e : extrema) {
        rounding = std::max(rounding, e.rounding);
        smallest = std::min(smallest, std::fabs(e.error));
    }
    return 10 * rounding / smallest;
}

double Spread(const std::vector<Extremum>& extrema) {
    double low = std::numeric_limits<double>::infinity(), high = 0.0;
    for (const Extremum& e : extrema) {
        low = std::min(low, std::fabs(e.error));
        high = std::max(high, std::fabs(e.error));
    }
    return (high - low) / high;
}

double Largest(const std::vector<Extremum>& extrema) {
    double largest = 0.0;
    for (const Extremum& e : extrema)
        largest = std::max(largest, std::fabs(e.error));
    return largest;
}

} // namespace taplore::equiripple
