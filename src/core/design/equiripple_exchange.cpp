#include "core/design/equiripple_exchange.h"

#include "core/design/equiripple_start.h"
#include "core/design/polynomial.h"
#include "core/design/threads.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace taplore::equiripple {

namespace {

// Converged when the extremal errors agree to this share of the largest: the alternation
// theorem then holds to well within 1e-6, the figure users and tests hold the design to. Long
// designs round their errors more coarsely; where rounding hides any further progress, the
// exchange ends short of it with a warning.
constexpr double kConvergedSpread = 1e-7;
// From this spread on, each extremum found on the grid is moved to where the error truly
// peaks between the grid points: the exchange then converges to the best filter of all,
// not only the best on the grid, which can be half a percent better than it is.
constexpr double kRefineFrom = 1e-1;
// Newton's method has placed a peak when its step falls below this share of the grid step:
// the next step, quadratically smaller, would change the error there by far less than
// kConvergedSpread.
constexpr double kPeakTolerance = 1e-3;
// Taps still worth handing out, with a warning, when the exchange stalls short of the above
// (kIdleExchanges refined exchanges in a row without halving the spread).
constexpr double kUsableSpread = 1e-3;
constexpr int kIdleExchanges = 5;
// Exchanges in a row that may go on from a reference filled up without alternation.
constexpr int kLostExchanges = 10;
// Coefficients this much larger than the values asked mean a response that swells between or
// beyond the bands: rounding then swamps the bands' error, and no design is worth handing out.
constexpr double kMaxGrowth = 1e8;
// Between the bands the interpolation magnifies rounding by orders that grow with the gap in
// nodes: where the rounding bound in the middle of a transition exceeds this share of the
// smallest ripple (deep stop bands, transitions wide for the length), the exchange goes on in
// double-double. Well above the 1e-7 it converges to: the bound leaves out the weights' own
// rounding.
constexpr double kCoarseShare = 1e-7;
// In double-double, the evaluations whose bound in long double exceeds this share of the smallest
// ripple: at 1e-8, 200 dB designs still stalled at ripples unequal by 1%.
constexpr double kExactShare = 1e-12;
// How closely, as a share of the level, the errors the transform sums from the coefficients must
// agree with the interpolant's for the interpolant to decide where the peaks lie.
constexpr double kAgreement = 1e-4;
// Exchanges before giving up. A good start converges in a few dozen at most; the cap is
// there for designs that cycle, not to cut short a slow convergence.
constexpr int kMaxIterations = 500;

EquirippleResult Refused(std::string message) {
    EquirippleResult result;
    result.status = DesignStatus::refused;
    result.message = std::move(message);
    return result;
}

EquirippleResult& Warned(EquirippleResult& result, const char* doubt) {
    result.status = DesignStatus::convergedWithWarning;
    result.message = doubt;
    return result;
}

EquirippleResult& Failed(EquirippleResult& result, const char* why) {
    result.status = DesignStatus::failed;
    result.message = why;
    result.taps.clear();
    return result;
}

// One Parks-McClellan design: the reference, the polynomial through it and the exchange.
class Exchange {
public:
    Exchange(const Requirements& r, const Form& form, double missesAbove)
        : m_form(form), m_r(form.Coefficients()), m_requirements(r),
          m_grid(MakeDenseEnoughGrid(r, form)), m_fit(m_r), m_evaluation(m_grid.steps),
          m_coefficients(m_r), m_error(m_grid.Size()), m_exactFit(ExactFitError()),
          m_missesAbove(missesAbove) {}

    // scaledFrom: the extremal frequencies (radians) of a shorter design of the same form
    // and bands, or empty. Starts from them, else from an even spread over the bands; a start
    // that leads nowhere (the alternation lost to rounding, as a start with the symmetry of
    // the bands can) gives way to the next, the last being an even spread without symmetry.
    EquirippleResult Run(const std::vector<double>& scaledFrom, const Progress& progress) {
        if (m_grid.Size() < m_r + 1)
            return Refused("the bands are too narrow for this many taps");
        std::vector<std::vector<int>> starts;
        if (!scaledFrom.empty())
            starts.push_back(ScaledReference(m_grid, m_r, scaledFrom));
        starts.push_back(EvenReference(m_grid, m_r, 0));
        starts.push_back(EvenReference(m_grid, m_r, 1));
        EquirippleResult result;
        int iterations = 0;
        for (const std::vector<int>& start : starts) {
            result = Iterate(ExtremaAt(start), progress);
            iterations += result.iterations;
            if (result.status != DesignStatus::failed)
                break;
        }
        result.iterations = iterations;
        return result;
    }

private:
    EquirippleResult Iterate(Reference reference, const Progress& progress) {
        EquirippleResult result;
        m_refining = false;
        double best = 1.0;
        int idle = 0; // refined exchanges in a row that did not halve the best spread
        int lost = 0; // exchanges in a row without alternation
        for (result.iterations = 1; result.iterations <= kMaxIterations; ++result.iterations) {
            switch (Solve(reference)) {
            case Solution::brokeDown:
                return Failed(result, "the exchange broke down numerically");
            case Solution::swelled:
                return Failed(result, "the response swells between or beyond the bands: use "
                                      "fewer taps");
            case Solution::solved:
                break;
            }
            if (std::fabs(m_delta) > m_missesAbove)
                return Missed(result);
            const double largest = MeasureErrors();
            if (largest <= m_exactFit)
                return Converged(result, reference, largest);
            std::vector<Extremum> extrema = AlternatingExtrema(m_grid, m_error);
            const bool alternates = extrema.size() >= reference.size();
            lost = alternates ? 0 : lost + 1;
            if (lost > kLostExchanges)
                return Failed(result, "the error lost its alternation: use fewer taps");
            if (!alternates)
                FillUp(extrema, reference);
            KeepLargest(extrema, reference.size());
            m_refining = alternates &&
                         (m_refining || Spread(extrema) <= kRefineFrom || Same(extrema, reference));
            if (m_refining)
                Refine(extrema);
            Reference& next = extrema;
            const double spread = Spread(extrema);
            const double deviation = std::max(largest, Largest(extrema));
            if (m_refining) {
                idle = spread > best / 2 ? idle + 1 : 0;
                best = std::min(best, spread);
                if (spread <= kConvergedSpread)
                    return Converged(result, next, deviation);
                if (spread <= RoundingSpread(extrema) || idle >= kIdleExchanges ||
                    Same(next, reference))
                    return Stalled(result, next, deviation, spread);
            }
            reference = std::move(next);
            const double share = std::log10(spread) / std::log10(kConvergedSpread);
            if (progress && !progress(std::clamp(share, 0.0, 1.0))) {
                result.status = DesignStatus::stopped;
                return result;
            }
        }
        return Failed(result, "the exchange did not converge");
    }

    Reference ExtremaAt(const std::vector<int>& points) const {
        Reference reference;
        for (int i : points)
            reference.push_back({i, m_grid.nodes[i], 0.0});
        return reference;
    }

    // Rounding hides the alternation where the error is far below its size elsewhere, as
    // after a poor start. The extrema found then keep their places and the old reference
    // fills up the rest, the points where the error is largest first; the exchange then
    // goes on from a reference that does not alternate, which the next one mends.
    void FillUp(std::vector<Extremum>& extrema, const Reference& old) const {
        std::vector<Extremum> spare;
        for (const Extremum& e : old)
            if (std::none_of(extrema.begin(), extrema.end(),
                             [&e](const Extremum& x) { return x.point == e.point; }))
                spare.push_back({e.point, m_grid.nodes[e.point], m_error[e.point]});
        std::sort(spare.begin(), spare.end(), [](const Extremum& a, const Extremum& b) {
            return std::fabs(a.error) > std::fabs(b.error);
        });
        spare.resize(std::min(spare.size(), old.size() - extrema.size()));
        extrema.insert(extrema.end(), spare.begin(), spare.end());
        std::sort(extrema.begin(), extrema.end(),
                  [](const Extremum& a, const Extremum& b) { return a.point < b.point; });
    }

    enum class Solution {
        solved,
        brokeDown, // delta is not a number
        swelled    // the coefficients are beyond what doubles hold, or far larger than the values
    };

    // The polynomial whose weighted error is +-delta, alternating, on the reference, and its
    // coefficients.
    Solution Solve(const Reference& reference) {
        const int n = static_cast<int>(reference.size());
        m_x.resize(n);
        m_weights.resize(n);
        m_values.resize(n);
        for (int k = 0; k < n; ++k)
            m_x[k] = reference[k].node.x;
        const int top = BarycentricWeights(m_x, m_weights);
        double delta = Levelled(reference, m_weights);
        if (m_exact) {
            m_exactWeights = ExactBarycentricWeights(m_x, top);
            const DoubleDouble exactDelta = Levelled(reference, m_exactWeights);
            delta = static_cast<double>(exactDelta);
            ValuesOf(reference, exactDelta, m_exactValues);
        }
        if (!std::isfinite(delta))
            return Solution::brokeDown;
        m_delta = delta;
        if (m_exact)
            m_values = Rounded<double>(m_exactValues);
        else
            ValuesOf(reference, delta, m_values);
        const double size = LargestMagnitude(m_values);
        const double ripple = SmallestRipple(reference, delta);
        DropOneNode();
        m_interpolant.Fit(m_x, m_weights, m_values, top);
        if (m_exact) {
            m_interpolant.Deepen(m_exactWeights, m_exactValues, kExactShare * ripple);
        } else if (CoarseBetweenBands(kCoarseShare * ripple)) {
            m_exact = true;
            return Solve(reference);
        }
        m_fit.Fit(m_interpolant, m_coefficients);
        m_extended = m_extended || m_interpolant.UsedExtended();
        // Not finite: grown beyond what doubles hold.
        const bool finite = std::all_of(m_coefficients.begin(), m_coefficients.end(),
                                        [](double c) { return std::isfinite(c); });
        if (!finite || LargestMagnitude(m_coefficients) > kMaxGrowth * size)
            return Solution::swelled;
        return Solution::solved;
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
        if (m_exact) {
            for (std::size_t k = 0; k < m_x.size(); ++k)
                m_exactWeights[k] *= DoubleDouble(m_x[k]) - DoubleDouble(m_x[d]);
            m_exactWeights.erase(m_exactWeights.begin() + d);
            m_exactValues.erase(m_exactValues.begin() + d);
        }
        m_x.erase(m_x.begin() + d);
        m_weights.erase(m_weights.begin() + d);
        m_values.erase(m_values.begin() + d);
    }

    // |delta| over the heaviest weight: the smallest error any band is held to.
    static double SmallestRipple(const Reference& reference, double delta) {
        double heaviest = 0.0;
        for (const Extremum& e : reference)
            heaviest = std::max(heaviest, std::fabs(e.node.weight));
        return std::fabs(delta) / heaviest;
    }

    // Whether the interpolant's rounding bound midway between two bands, where it magnifies
    // rounding most, exceeds resolution.
    bool CoarseBetweenBands(double resolution) const {
        for (std::size_t b = 0; b + 1 < m_grid.bandRange.size(); ++b) {
            const double omega = (m_grid.nodes[m_grid.bandRange[b].second - 1].omega +
                                  m_grid.nodes[m_grid.bandRange[b + 1].first].omega) /
                                 2;
            const double t = std::cos(omega);
            if (t < m_x.front() && t > m_x.back() &&
                !(m_interpolant.WithRounding(t).rounding <= resolution))
                return true;
        }
        return false;
    }

    // The level of the alternating error on the reference, from its barycentric weights:
    // sum w_k D_k / sum (-1)^k w_k / W_k.
    template <class Real>
    static Real Levelled(const Reference& reference, const std::vector<Real>& weights) {
        Real num = 0, den = 0;
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const Real sign = k % 2 == 0 ? 1 : -1;
            num += weights[k] * Real(reference[k].node.desired);
            den += sign * weights[k] / Real(reference[k].node.weight);
        }
        return num / den;
    }

    // The values the polynomial takes on the reference: D_k - (-1)^k delta / W_k.
    template <class Real>
    static void ValuesOf(const Reference& reference, Real delta, std::vector<Real>& values) {
        values.resize(reference.size());
        for (std::size_t k = 0; k < reference.size(); ++k) {
            const Node& node = reference[k].node;
            const Real sign = k % 2 == 0 ? 1 : -1;
            values[k] = Real(node.desired) - sign * delta / Real(node.weight);
        }
    }

    // The weighted error on the whole grid; returns its largest magnitude. The band edges,
    // between the transform's points, from the interpolant.
    double MeasureErrors() {
        const std::vector<Complex>& uniform = m_evaluation.Evaluate(m_coefficients);
        const int size = m_grid.Size();
        for (int i = 0; i < size; ++i) {
            const int m = std::max(m_grid.uniform[i], 0);
            m_error[i] = m_grid.nodes[i].weight * (m_grid.nodes[i].desired - uniform[m].re);
        }
        for (int i : m_grid.edges) {
            const Node& node = m_grid.nodes[i];
            m_error[i] = node.weight * (node.desired - m_interpolant.At(node.x));
        }
        return LargestMagnitude(m_error);
    }

    // Below this the error is rounding: the bands are met exactly.
    double ExactFitError() const {
        double scale = 0.0;
        for (const Node& node : m_grid.nodes)
            scale = std::max(scale, std::fabs(node.weight * node.desired));
        return 1e-13 * scale;
    }

    // The weighted error at an extremum's node and its rounding, from the interpolant: exact at
    // its own nodes, and finer than the transform, which serves to find the extrema. In
    // double-double the difference from the gain is taken in long double: a double holds a gain
    // of 1 to 1e-16, a millionth of a 200 dB ripple.
    void Evaluate(Extremum& e) const {
        const Interpolant::Evaluation p = m_interpolant.WithRounding(e.node.x);
        e.error = m_exact ? static_cast<double>(e.node.weight * (e.node.desired - p.value))
                          : e.node.weight * (e.node.desired - static_cast<double>(p.value));
        e.rounding = std::fabs(e.node.weight) * p.rounding;
    }

    // W (D - Q P) and its derivatives, from the coefficients.
    Jet ErrorJet(int band, double omega) const {
        const Band& b = m_requirements.bands[band];
        const SeriesPoint p = CosineSeriesAt(m_coefficients, omega);
        const Jet amplitude = Times(FactorJet(m_form, omega), {p.value, p.slope, p.curvature});
        return Times(WeightJet(m_requirements, b, omega),
                     Minus(DesiredJet(m_requirements, b, omega), amplitude));
    }

    // Where the error peaks near an extremum found at an inner grid point: the vertex of the
    // parabola through it and its neighbours, which at the grid's 32 or more points between
    // extrema lies within 1e-9 of the peak's height. In double-double, where the transform's
    // errors are rounded more coarsely than the ripples differ, and where the coefficients do
    // not hold the interpolant, Newton's method on the error's slope follows from there, kept
    // between the neighbours. Band edges stay where they are.
    Node Peak(const Extremum& e) const {
        const int i = e.point;
        if (m_grid.uniform[i] < 0 || m_grid.nodes[i - 1].band != e.node.band ||
            m_grid.nodes[i + 1].band != e.node.band)
            return e.node;
        const double low = m_grid.nodes[i - 1].omega, high = m_grid.nodes[i + 1].omega;
        double omega = ParabolaVertex(i);
        if (!m_exact && m_coefficientsHold)
            return MakeNode(m_requirements, m_form, e.node.band, omega);
        for (int step = 0; step < 8; ++step) {
            const Jet error = ErrorJet(e.node.band, omega);
            // Only a peak of |E| curves back towards zero.
            if (!(error.curvature * error.value < 0.0))
                break;
            const double next = omega - error.slope / error.curvature;
            if (!(next > low && next < high))
                break;
            const bool settled = std::fabs(next - omega) <= kPeakTolerance * (high - low);
            omega = next;
            if (settled)
                break;
        }
        return MakeNode(m_requirements, m_form, e.node.band, omega);
    }

    // The vertex of the parabola through the errors at grid point i and its two neighbours,
    // which are evenly spaced there; the point itself where the three lie on a line.
    double ParabolaVertex(int i) const {
        const double left = m_error[i - 1], centre = m_error[i], right = m_error[i + 1];
        const double bend = left - 2 * centre + right;
        const double omega = m_grid.nodes[i].omega;
        if (bend == 0.0)
            return omega;
        const double half = (m_grid.nodes[i + 1].omega - m_grid.nodes[i - 1].omega) / 2;
        return omega + std::clamp((left - right) / (2 * bend), -0.5, 0.5) * half;
    }

    // e at its peak, unless its grid point is no lower. The transform says how high the grid
    // point is from the coefficients; where they agree with the interpolant there, to 1e-4 of the
    // level, the interpolant decides, as the coefficients' rounding can exceed the differences
    // between a deep or heavily weighted design's ripples. Where they disagree further, the
    // optimum lies below what the coefficients resolve, and they, of which the taps are made,
    // have the last word.
    void MoveToPeak(Extremum& e) const {
        Extremum peak = e;
        peak.node = Peak(e);
        Evaluate(peak);
        if (peak.node.omega != e.node.omega && !(std::fabs(peak.error) > std::fabs(e.error))) {
            const double transformed = e.error;
            Evaluate(e);
            if (!Agree(transformed, e.error) || !(std::fabs(peak.error) > std::fabs(e.error)))
                return;
        }
        e = peak;
    }

    // Whether an error the transform sums from the coefficients agrees with the interpolant's
    // there, to kAgreement of the level.
    bool Agree(double transformed, double interpolated) const {
        return std::fabs(transformed - interpolated) < kAgreement * std::fabs(m_delta);
    }

    // Whether the transform's errors from the coefficients agree with the interpolant's at the
    // grid points of 16 extrema spread over the bands. Outside its nodes'
    // span the interpolant magnifies rounding by orders (one band over half the range), and
    // coefficients fitted there can miss it by a tenth of a deep ripple; the grid's parabolas
    // then place no peak well, and Newton's steps on the coefficients' series take over.
    bool CoefficientsHold(const std::vector<Extremum>& extrema) const {
        constexpr std::size_t kSamples = 16;
        const std::size_t step = std::max<std::size_t>(1, extrema.size() / kSamples);
        for (std::size_t k = 0; k < extrema.size(); k += step) {
            const int i = extrema[k].point;
            if (m_grid.uniform[i] < 0)
                continue;
            Extremum onGrid = extrema[k];
            onGrid.node = m_grid.nodes[i];
            Evaluate(onGrid);
            if (!Agree(m_error[i], onGrid.error))
                return false;
        }
        return true;
    }

    // The extrema moved to their peaks and their errors evaluated there by the interpolant,
    // finer than the transform; each stays on its grid point where that was no lower.
    void Refine(std::vector<Extremum>& extrema) {
        m_coefficientsHold = CoefficientsHold(extrema);
        const int count = static_cast<int>(extrema.size());
        SplitOverThreads(ThreadsForNodes(m_x.size()), count, [&](int first, int last) {
            for (int k = first; k < last; ++k)
                MoveToPeak(extrema[k]);
        });
        // Two extrema on neighbouring grid points could pass each other: back to the grid.
        for (std::size_t k = 1; k < extrema.size(); ++k)
            if (!(extrema[k - 1].node.omega < extrema[k].node.omega))
                for (std::size_t j : {k - 1, k}) {
                    extrema[j].node = m_grid.nodes[extrema[j].point];
                    Evaluate(extrema[j]);
                }
    }

    EquirippleResult& Converged(EquirippleResult& result, const Reference& reference,
                                double deviation) {
        result.status = DesignStatus::converged;
        result.taps = TapsOf(m_form, m_coefficients);
        result.extended = m_extended;
        result.deviation = deviation;
        const double hzPerRadian = m_requirements.rate / (2 * kPi);
        for (const Extremum& e : reference)
            result.extremalHz.push_back(e.node.omega * hzPerRadian);
        return result;
    }

    // The level passed the caller's bound, and the optimum's deviation lies at or above it.
    EquirippleResult& Missed(EquirippleResult& result) const {
        result.status = DesignStatus::missed;
        result.deviation = std::fabs(m_delta);
        return result;
    }

    // The exchange no longer improves, or rounding hides whether it does, yet the extremal
    // errors still differ.
    EquirippleResult& Stalled(EquirippleResult& result, const Reference& reference,
                              double deviation, double spread) {
        if (spread > kUsableSpread)
            return Failed(result, "the exchange stalled far from equal ripples");
        Converged(result, reference, deviation);
        if (spread > kConvergedSpread)
            return Warned(result, "rounding left the ripples unequal by over a ten-millionth");
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
    double m_missesAbove;
    double m_delta = 0.0; // the last reference's level
    Interpolant m_interpolant;
    // Once rounding between the bands is too coarse: the weights, the level and the values in
    // double-double as well.
    bool m_exact = false;
    std::vector<DoubleDouble> m_exactWeights, m_exactValues;
    bool m_refining = false;
    // Whether the coefficients agree with the interpolant on the grid (CoefficientsHold).
    bool m_coefficientsHold = true;
    bool m_extended = false; // an interpolation needed long double
};

} // namespace

EquirippleResult RunExchange(const Requirements& requirements, const Form& form, double missesAbove,
                             const std::vector<double>& scaledFrom, const Progress& progress) {
    return Exchange(requirements, form, missesAbove).Run(scaledFrom, progress);
}

} // namespace taplore::equiripple
