#include "core/design/equiripple.h"

#include "core/analysis/fft.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>
#include <numbers>
#include <utility>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;

// Converged when the extremal errors agree to this share of the largest. The alternation
// theorem then holds to well within 1e-6, the figure users and tests hold the design to.
constexpr double kConvergedSpread = 1e-9;
// Taps still worth handing out, with a warning, when the exchange stalls short of the above.
constexpr double kUsableSpread = 1e-3;
// Exchanges before giving up. A good start converges in a few dozen at most; the cap is
// there for designs that cycle, not to cut short a slow convergence.
constexpr int kMaxIterations = 500;
// The grid: at least 16 points per tap over 0 ... pi, and at least this many per free
// coefficient inside the bands, refined up to kMaxGridSteps for bands that cover little.
constexpr int kPointsPerTap = 16;
constexpr int kPointsPerCoefficient = 8;
constexpr int kMaxGridSteps = 1 << 22;

// The four linear-phase forms: the amplitude is A(w) = Q(w) P(cos w), with P a polynomial
// of r coefficients and Q = 1, cos(w/2), sin w or sin(w/2).
struct Form {
    int taps = 0;
    bool antisymmetric = false;

    bool Odd() const { return taps % 2 != 0; }
    int Coefficients() const {
        if (Odd())
            return antisymmetric ? (taps - 1) / 2 : (taps + 1) / 2;
        return taps / 2;
    }
    double Factor(double omega) const {
        if (Odd())
            return antisymmetric ? std::sin(omega) : 1.0;
        return antisymmetric ? std::sin(omega / 2) : std::cos(omega / 2);
    }
    bool ZeroAtDc() const { return antisymmetric; }
    bool ZeroAtNyquist() const { return antisymmetric == Odd(); }
};

// The response asked at omega and how much its error counts. A Hilbert transformer's
// -j turns into a negative amplitude under the antisymmetric form's j.
double Desired(ResponseKind kind, const Band& band, double omega) {
    switch (kind) {
    case ResponseKind::hilbert:
        return -band.gain;
    case ResponseKind::differentiator:
        return band.gain * omega;
    default:
        return band.gain;
    }
}

// A differentiator's error counts relative to its response, as usual for differentiators.
double Weight(ResponseKind kind, const Band& band, double omega) {
    if (kind == ResponseKind::differentiator && band.gain != 0.0)
        return band.weight / omega;
    return band.weight;
}

double Radians(double hz, double rate) {
    return kPi * (hz / (rate * 0.5));
}

// The design's frequencies: each band's edges exactly and the points pi*m/M between them.
// The error is approximated as D/Q - P with weight W*Q; points where Q is forced to zero
// (and D with it, which the caller has checked) carry no error and are left out.
struct Grid {
    int steps = 0; // M
    std::vector<double> omega, x, desired, weight;
    std::vector<int> uniform;                   // m of each point, or -1 for a band edge
    std::vector<std::pair<int, int>> bandRange; // each band's points [first, last)

    void Add(const Requirements& r, const Form& form, const Band& band, double omega, int m) {
        if ((omega == 0.0 && form.ZeroAtDc()) || (omega == kPi && form.ZeroAtNyquist()))
            return;
        const double q = form.Factor(omega);
        this->omega.push_back(omega);
        x.push_back(std::cos(omega));
        desired.push_back(Desired(r.kind, band, omega) / q);
        weight.push_back(Weight(r.kind, band, omega) * q);
        uniform.push_back(m);
    }

    int Size() const { return static_cast<int>(omega.size()); }
};

Grid MakeGrid(const Requirements& r, const Form& form, int steps) {
    Grid grid;
    grid.steps = steps;
    const double step = kPi / steps;
    for (const Band& band : r.bands) {
        const int first = grid.Size();
        const double low = Radians(band.lowHz, r.rate);
        const double high = Radians(band.highHz, r.rate);
        grid.Add(r, form, band, low, -1);
        // Uniform points closer than half a step to an edge would only crowd it.
        const int mLow = static_cast<int>(std::floor(low / step));
        const int mHigh = static_cast<int>(std::ceil(high / step));
        for (int m = mLow; m <= mHigh; ++m) {
            const double omega = kPi * m / steps;
            if (omega > low + step / 2 && omega < high - step / 2)
                grid.Add(r, form, band, omega, m);
        }
        grid.Add(r, form, band, high, -1);
        grid.bandRange.emplace_back(first, grid.Size());
    }
    return grid;
}

Grid MakeDenseEnoughGrid(const Requirements& r, const Form& form) {
    int steps = static_cast<int>(std::bit_ceil(static_cast<unsigned>(kPointsPerTap * form.taps)));
    Grid grid = MakeGrid(r, form, steps);
    while (grid.Size() < kPointsPerCoefficient * (form.Coefficients() + 1) &&
           steps < kMaxGridSteps) {
        steps *= 2;
        grid = MakeGrid(r, form, steps);
    }
    return grid;
}

// prod_{j != skip} 2 (t - x_j) as mantissa * 2^exponent. Four interleaved partial products
// whose exponents are taken out every few factors, so that no length overflows or underflows;
// the factor 2 matches the interval's capacity, which keeps the mantissas near 1.
struct ScaledProduct {
    double mantissa = 1.0;
    int exponent = 0;

    ScaledProduct(const std::vector<double>& x, std::size_t count, double t, std::size_t skip) {
        constexpr std::size_t kBlock = 64;
        double p[4] = {1.0, 1.0, 1.0, 1.0};
        for (std::size_t start = 0; start < count; start += kBlock) {
            const std::size_t end = std::min(count, start + kBlock);
            for (std::size_t j = start; j < end; ++j)
                p[j & 3] *= j == skip ? 1.0 : 2.0 * (t - x[j]);
            for (double& part : p) {
                int e = 0;
                part = std::frexp(part, &e);
                exponent += e;
            }
        }
        mantissa = p[0] * p[1] * p[2] * p[3];
    }
};

// Weights of the barycentric formula for nodes x: 1 / prod_{j != k} 2 (x_k - x_j), all
// scaled by 2^-top (the formulas using them are homogeneous in the weights); returns top.
int BarycentricWeights(const std::vector<double>& x, std::vector<double>& weights) {
    const std::size_t n = x.size();
    std::vector<int> exponents(n);
    for (std::size_t k = 0; k < n; ++k) {
        const ScaledProduct product(x, n, x[k], k);
        weights[k] = 1.0 / product.mantissa;
        exponents[k] = -product.exponent;
    }
    const int top = *std::max_element(exponents.begin(), exponents.end());
    for (std::size_t k = 0; k < n; ++k)
        weights[k] = std::ldexp(weights[k], exponents[k] - top);
    return top;
}

// The polynomial through the reference's values, in the barycentric form: stable for any
// nodes, and exact at the nodes themselves. Outside the nodes' span that form cancels
// badly, and the first form, with the node polynomial written out, takes over.
class Interpolant {
public:
    // weights: as BarycentricWeights gives them for nodes x plus one dropped node, each
    // multiplied by its distance to the dropped one; top: the exponent it returned.
    void Fit(const std::vector<double>& x, const std::vector<double>& weights,
             const std::vector<double>& values, int top) {
        m_x = &x;
        m_weights = &weights;
        m_values = &values;
        m_top = top;
    }

    double At(double t) const {
        const std::vector<double>& x = *m_x;
        if (t > x.front() || t < x.back())
            return Outside(t);
        double num = 0.0, den = 0.0;
        Sums(t, num, den);
        const double value = num / den;
        if (std::isfinite(value))
            return value;
        // t is a node (a division by zero above): the value there is the node's own.
        for (std::size_t k = 0; k < x.size(); ++k)
            if (t == x[k])
                return (*m_values)[k];
        return value;
    }

private:
    // sum w_k y_k / (t - x_k) and sum w_k / (t - x_k), in four lanes, so that the compiler
    // can keep several divisions in flight.
    void Sums(double t, double& num, double& den) const {
        const std::vector<double>& x = *m_x;
        const std::vector<double>& w = *m_weights;
        const std::vector<double>& y = *m_values;
        const std::size_t n = x.size();
        double nums[4] = {}, dens[4] = {};
        std::size_t k = 0;
        for (; k + 4 <= n; k += 4)
            for (std::size_t lane = 0; lane < 4; ++lane) {
                const double c = w[k + lane] / (t - x[k + lane]);
                nums[lane] += c * y[k + lane];
                dens[lane] += c;
            }
        for (; k < n; ++k) {
            const double c = w[k] / (t - x[k]);
            nums[0] += c * y[k];
            dens[0] += c;
        }
        num = nums[0] + nums[1] + nums[2] + nums[3];
        den = dens[0] + dens[1] + dens[2] + dens[3];
    }

    // prod (t - x_j) * sum y_k / ((t - x_k) prod_{j != k} (x_k - x_j)), where the weights'
    // scale 2^-top / 2 and the factors 2 cancel to 2^top.
    double Outside(double t) const {
        double num = 0.0, den = 0.0;
        Sums(t, num, den);
        const ScaledProduct node(*m_x, m_x->size(), t, m_x->size());
        return std::ldexp(node.mantissa * num, node.exponent + m_top);
    }

    const std::vector<double>* m_x = nullptr;
    const std::vector<double>* m_weights = nullptr;
    const std::vector<double>* m_values = nullptr;
    int m_top = 0;
};

// P's Chebyshev coefficients, P(cos w) = sum c_k cos(k w), from its values at the P + 1
// points cos(pi j / P): a cosine transform, done as a real FFT of the even extension.
class ChebyshevFit {
public:
    explicit ChebyshevFit(int coefficients)
        : m_points(
              static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(coefficients, 1))))),
          m_plan(2 * m_points), m_even(2 * m_points), m_bins(m_points + 1), m_nodes(m_points + 1) {
        for (int j = 0; j <= m_points; ++j)
            m_nodes[j] = std::cos(kPi * j / m_points);
    }

    // coefficients[0 ... count-1] of the polynomial p.
    void Fit(const Interpolant& p, std::vector<double>& coefficients) {
        const int n = m_points;
        for (int j = 0; j <= n; ++j)
            m_even[j] = p.At(m_nodes[j]);
        for (int j = 1; j < n; ++j)
            m_even[2 * n - j] = m_even[j];
        m_plan.Forward(m_even.data(), m_bins.data());
        for (std::size_t k = 0; k < coefficients.size(); ++k)
            coefficients[k] = m_bins[k].re / (k == 0 || int(k) == n ? 2.0 * n : n);
    }

private:
    int m_points;
    RealFftPlan m_plan;
    std::vector<double> m_even;
    std::vector<Complex> m_bins;
    std::vector<double> m_nodes;
};

// sum c_k cos(k pi m / M) for m = 0 ... M in one real FFT of length 2M.
class UniformEvaluation {
public:
    explicit UniformEvaluation(int steps)
        : m_steps(steps), m_plan(2 * steps), m_series(2 * steps), m_bins(steps + 1) {}

    const std::vector<Complex>& Evaluate(const std::vector<double>& coefficients) {
        std::fill(m_series.begin(), m_series.end(), 0.0);
        m_series[0] = coefficients[0];
        for (std::size_t k = 1; k < coefficients.size(); ++k)
            m_series[k] = m_series[2 * m_steps - k] = coefficients[k] / 2;
        m_plan.Forward(m_series.data(), m_bins.data());
        return m_bins;
    }

private:
    int m_steps;
    RealFftPlan m_plan;
    std::vector<double> m_series;
    std::vector<Complex> m_bins;
};

struct Extremum {
    int point;
    double error;
};

// Local extrema of the error inside each band; a band's end counts when it beats its one
// neighbour. Then neighbours of one sign give way to the largest of them.
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
                    extrema.back() = {i, e};
            } else {
                extrema.push_back({i, e});
            }
        }
    return extrema;
}

// Down to `count` extrema, keeping the alternation: one surplus goes at the smaller end; more
// go two at a time, the smallest with the smaller of its neighbours, which then share a sign.
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

// The taps of amplitude Q(w) sum p_k cos(k w), by the product-to-sum identities of each form.
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

EquirippleResult Refused(std::string message) {
    EquirippleResult result;
    result.status = DesignStatus::refused;
    result.message = std::move(message);
    return result;
}

std::optional<std::string> InputProblem(const Requirements& r, int taps) {
    if (auto problem = CheckBands(r))
        return problem->text;
    const bool antisymmetric = r.kind != ResponseKind::ordinary;
    if (taps < (antisymmetric ? 2 : 1) || taps > kMaxEquirippleTaps)
        return antisymmetric ? "the taps must be from 2 to 32767 for antisymmetric designs"
                             : "the taps must be from 1 to 32767";
    if (auto problem = SymmetryProblem(r, taps))
        return problem->text;
    return std::nullopt;
}

// One Parks-McClellan design: the reference, the polynomial through it and the exchange.
class Exchange {
public:
    Exchange(const Requirements& r, const Form& form)
        : m_form(form), m_r(form.Coefficients()), m_requirements(r),
          m_grid(MakeDenseEnoughGrid(r, form)), m_fit(m_r), m_evaluation(m_grid.steps),
          m_x(m_r + 1), m_weights(m_r + 1), m_values(m_r + 1), m_coefficients(m_r),
          m_error(m_grid.Size()), m_exactFit(ExactFitError()) {}

    // scaledFrom: the extremal frequencies (radians) of a shorter design of the same form
    // and bands, or empty. Starts from them, else from an even spread over the bands; a start
    // that leads nowhere (the alternation lost to rounding, as a start with the symmetry of
    // the bands can) gives way to the next, the last being an even spread without symmetry.
    EquirippleResult Run(const std::vector<double>& scaledFrom, const Progress& progress) {
        if (m_grid.Size() < m_r + 1)
            return Refused("the bands are too narrow for this many taps");
        std::vector<std::vector<int>> starts;
        if (!scaledFrom.empty())
            starts.push_back(ScaledReference(scaledFrom));
        starts.push_back(EvenReference(0));
        starts.push_back(EvenReference(1));
        EquirippleResult result;
        int iterations = 0;
        for (std::vector<int>& start : starts) {
            result = Iterate(std::move(start), progress);
            iterations += result.iterations;
            if (result.status != DesignStatus::failed)
                break;
        }
        result.iterations = iterations;
        return result;
    }

private:
    EquirippleResult Iterate(std::vector<int> reference, const Progress& progress) {
        EquirippleResult result;
        for (result.iterations = 1; result.iterations <= kMaxIterations; ++result.iterations) {
            if (!Solve(reference))
                return Failed(result, "the exchange broke down numerically");
            const double largest = MeasureErrors();
            if (largest <= m_exactFit)
                return Converged(result, std::move(reference), largest);
            std::vector<Extremum> extrema = AlternatingExtrema(m_grid, m_error);
            if (extrema.size() < reference.size())
                return Failed(result, "the error lost its alternation");
            KeepLargest(extrema, reference.size());
            const double spread = Spread(extrema);
            std::vector<int> next = PointsOf(extrema);
            if (spread <= kConvergedSpread)
                return Converged(result, std::move(next), largest);
            if (next == reference)
                return Stalled(result, std::move(next), largest, spread);
            reference = std::move(next);
            const double share = std::log10(spread) / std::log10(kConvergedSpread);
            if (progress && !progress(std::clamp(share, 0.0, 1.0))) {
                result.status = DesignStatus::stopped;
                return result;
            }
        }
        return Failed(result, "the exchange did not converge");
    }

    // r + 1 points spread evenly over the bands' grid, from its first point on: to its
    // last (shift 0), or to one spacing short of it (shift 1).
    std::vector<int> EvenReference(int shift) const {
        std::vector<int> reference(m_r + 1);
        const double spacing = double(m_grid.Size() - 1) / (m_r + shift);
        for (int k = 0; k <= m_r; ++k)
            reference[k] = static_cast<int>(std::lround(k * spacing));
        Separate(reference);
        return reference;
    }

    // The shorter design's extremal frequencies, as many more in each band as the design has
    // more coefficients, placed along them by linear interpolation, then moved to the nearest
    // grid points: the extrema of a longer design follow the same pattern, finer.
    std::vector<int> ScaledReference(const std::vector<double>& start) const {
        const int bands = static_cast<int>(m_grid.bandRange.size());
        std::vector<std::vector<double>> inBand(bands);
        for (double omega : start)
            inBand[BandOf(omega)].push_back(omega);
        std::vector<int> counts(bands);
        const double scale = double(m_r + 1) / double(start.size());
        for (int b = 0; b < bands; ++b)
            counts[b] = static_cast<int>(std::lround(inBand[b].size() * scale));
        BalanceCounts(counts);
        std::vector<int> reference;
        for (int b = 0; b < bands; ++b)
            for (int j = 0; j < counts[b]; ++j)
                reference.push_back(NearestPoint(b, Resample(inBand[b], b, j, counts[b])));
        Separate(reference);
        return reference;
    }

    int BandOf(double omega) const {
        int best = 0;
        for (int b = 0; b < static_cast<int>(m_grid.bandRange.size()); ++b)
            if (omega >= m_grid.omega[m_grid.bandRange[b].first])
                best = b;
        return best;
    }

    // Counts adding up to r + 1, each within its band's points.
    void BalanceCounts(std::vector<int>& counts) const {
        const auto room = [this](int b) {
            return m_grid.bandRange[b].second - m_grid.bandRange[b].first;
        };
        for (int b = 0; b < static_cast<int>(counts.size()); ++b)
            counts[b] = std::min(counts[b], room(b));
        int total = 0;
        for (int c : counts)
            total += c;
        for (int b = 0; total != m_r + 1; b = (b + 1) % static_cast<int>(counts.size())) {
            if (total > m_r + 1 && counts[b] > 0) {
                --counts[b];
                --total;
            } else if (total < m_r + 1 && counts[b] < room(b)) {
                ++counts[b];
                ++total;
            }
        }
    }

    // The j-th of `count` frequencies spread along a band's old extremal frequencies (or
    // evenly over the band where it had fewer than two).
    double Resample(const std::vector<double>& old, int band, int j, int count) const {
        const auto [first, last] = m_grid.bandRange[band];
        const double t = count > 1 ? double(j) / (count - 1) : 0.5;
        if (old.size() < 2)
            return m_grid.omega[first] + t * (m_grid.omega[last - 1] - m_grid.omega[first]);
        const double at = t * double(old.size() - 1);
        const std::size_t i = std::min(static_cast<std::size_t>(at), old.size() - 2);
        return old[i] + (at - double(i)) * (old[i + 1] - old[i]);
    }

    int NearestPoint(int band, double omega) const {
        const auto [first, last] = m_grid.bandRange[band];
        const auto begin = m_grid.omega.begin();
        const auto it = std::lower_bound(begin + first, begin + last, omega);
        int i = static_cast<int>(it - begin);
        if (i == last || (i > first && omega - m_grid.omega[i - 1] < m_grid.omega[i] - omega))
            --i;
        return i;
    }

    // Strictly increasing grid points, moved apart where two fell on one.
    void Separate(std::vector<int>& reference) const {
        const int n = static_cast<int>(reference.size());
        for (int k = 1; k < n; ++k)
            reference[k] = std::max(reference[k], reference[k - 1] + 1);
        reference[n - 1] = std::min(reference[n - 1], m_grid.Size() - 1);
        for (int k = n - 2; k >= 0; --k)
            reference[k] = std::min(reference[k], reference[k + 1] - 1);
    }

    // The polynomial whose weighted error is +-delta, alternating, on the reference.
    bool Solve(const std::vector<int>& reference) {
        m_x.resize(m_r + 1);
        m_weights.resize(m_r + 1);
        m_values.resize(m_r + 1);
        for (int k = 0; k <= m_r; ++k)
            m_x[k] = m_grid.x[reference[k]];
        const int top = BarycentricWeights(m_x, m_weights);
        double num = 0.0, den = 0.0;
        for (int k = 0; k <= m_r; ++k) {
            const int i = reference[k];
            const double sign = k % 2 == 0 ? 1.0 : -1.0;
            num += m_weights[k] * m_grid.desired[i];
            den += sign * m_weights[k] / m_grid.weight[i];
        }
        const double delta = num / den;
        for (int k = 0; k <= m_r; ++k) {
            const int i = reference[k];
            const double sign = k % 2 == 0 ? 1.0 : -1.0;
            m_values[k] = m_grid.desired[i] - sign * delta / m_grid.weight[i];
        }
        if (!std::isfinite(delta))
            return false;
        DropOneNode();
        m_interpolant.Fit(m_x, m_weights, m_values, top);
        m_fit.Fit(m_interpolant, m_coefficients);
        return std::all_of(m_coefficients.begin(), m_coefficients.end(),
                           [](double c) { return std::isfinite(c); });
    }

    // The polynomial goes through r of the r + 1 points: it then has exactly r coefficients,
    // and rounding in delta cannot leave a stray one of degree r. That rounding shows as an
    // error at the dropped node of about (rounding) / |its weight|, so the node with the
    // largest weight goes. Dropping node d multiplies each other weight by x_k - x_d.
    void DropOneNode() {
        const auto d =
            std::max_element(m_weights.begin(), m_weights.end(),
                             [](double a, double b) { return std::fabs(a) < std::fabs(b); }) -
            m_weights.begin();
        for (std::size_t k = 0; k < m_x.size(); ++k)
            m_weights[k] *= m_x[k] - m_x[d];
        m_x.erase(m_x.begin() + d);
        m_weights.erase(m_weights.begin() + d);
        m_values.erase(m_values.begin() + d);
    }

    // The weighted error on the whole grid; returns its largest magnitude.
    double MeasureErrors() {
        const std::vector<Complex>& uniform = m_evaluation.Evaluate(m_coefficients);
        double largest = 0.0;
        for (int i = 0; i < m_grid.Size(); ++i) {
            const int m = m_grid.uniform[i];
            const double p = m >= 0 ? uniform[m].re : m_interpolant.At(m_grid.x[i]);
            m_error[i] = m_grid.weight[i] * (m_grid.desired[i] - p);
            largest = std::max(largest, std::fabs(m_error[i]));
        }
        return largest;
    }

    // Below this the error is rounding: the bands are met exactly.
    double ExactFitError() const {
        double scale = 0.0;
        for (int i = 0; i < m_grid.Size(); ++i)
            scale = std::max(scale, std::fabs(m_grid.weight[i] * m_grid.desired[i]));
        return 1e-13 * scale;
    }

    // How far the extremal errors are from equal, as a share of the largest. Evaluated at
    // the extrema directly: the transform serves to find them, but rounds more finely here.
    double Spread(const std::vector<Extremum>& extrema) const {
        double low = std::numeric_limits<double>::infinity(), high = 0.0;
        for (const Extremum& e : extrema) {
            const int i = e.point;
            const double error =
                std::fabs(m_grid.weight[i] * (m_grid.desired[i] - m_interpolant.At(m_grid.x[i])));
            low = std::min(low, error);
            high = std::max(high, error);
        }
        return (high - low) / high;
    }

    static std::vector<int> PointsOf(const std::vector<Extremum>& extrema) {
        std::vector<int> points;
        points.reserve(extrema.size());
        for (const Extremum& e : extrema)
            points.push_back(e.point);
        return points;
    }

    EquirippleResult& Converged(EquirippleResult& result, std::vector<int> reference,
                                double largest) {
        result.status = DesignStatus::converged;
        result.taps = TapsOf(m_form, m_coefficients);
        result.deviation = largest;
        const double hzPerRadian = m_requirements.rate / (2 * kPi);
        for (int i : reference)
            result.extremalHz.push_back(m_grid.omega[i] * hzPerRadian);
        return result;
    }

    // The reference no longer moves, yet the extremal errors still differ.
    EquirippleResult& Stalled(EquirippleResult& result, std::vector<int> reference, double largest,
                              double spread) {
        if (spread > kUsableSpread)
            return Failed(result, "the exchange stalled far from equal ripples");
        Converged(result, std::move(reference), largest);
        result.status = DesignStatus::convergedWithWarning;
        result.message = "the ripples are not quite equal: the exchange stalled with the "
                         "extremal errors differing by more than a billionth";
        return result;
    }

    static EquirippleResult& Failed(EquirippleResult& result, const char* why) {
        result.status = DesignStatus::failed;
        result.message = why;
        return result;
    }

    Form m_form;
    int m_r;
    const Requirements& m_requirements;
    Grid m_grid;
    ChebyshevFit m_fit;
    UniformEvaluation m_evaluation;
    std::vector<double> m_x, m_weights, m_values, m_coefficients, m_error;
    double m_exactFit;
    Interpolant m_interpolant;
};

// Designs from this many coefficients on start from a shorter design's extrema, scaled.
constexpr int kScaledFrom = 128;

// A design of about a quarter of the length (of the same form) first, whose extrema make
// a far better start than an even spread: a long design then needs a few exchanges.
EquirippleResult Design(const Requirements& r, const Form& form, const Progress& progress) {
    std::vector<double> start;
    if (form.Coefficients() > kScaledFrom) {
        int taps = form.taps / 2;
        taps += (taps % 2) != (form.taps % 2);
        // The shorter design's progress is the first tenth of this one's.
        const Progress first = [&progress](double done) {
            return !progress || progress(done / 10);
        };
        const EquirippleResult shorter = Design(r, Form{taps, form.antisymmetric}, first);
        if (shorter.status == DesignStatus::stopped)
            return shorter;
        for (double hz : shorter.extremalHz)
            start.push_back(Radians(hz, r.rate));
    }
    const Progress rest = [&progress](double done) {
        return !progress || progress(0.1 + 0.9 * done);
    };
    return Exchange(r, form).Run(start, rest);
}

} // namespace

EquirippleResult DesignEquiripple(const Requirements& requirements, int taps,
                                  const Progress& progress) {
    if (auto problem = InputProblem(requirements, taps))
        return Refused(*problem);
    try {
        const Form form{taps, requirements.kind != ResponseKind::ordinary};
        return Design(requirements, form, progress);
    } catch (const std::bad_alloc&) {
        EquirippleResult result;
        result.status = DesignStatus::failed;
        result.message = "not enough memory for the design";
        return result;
    }
}

} // namespace taplore
