#pragma once
// Polynomials in x = cos w, as the equiripple exchange handles them: through given points in
// the barycentric form, as Chebyshev coefficients (P(cos w) = sum c_k cos(k w)), evaluated on a
// uniform grid of w by FFT, and with their slopes at one w.

#include "core/analysis/fft.h"
#include "core/design/double_double.h"

#include <atomic>
#include <vector>

namespace taplore {

// Weights of the barycentric formula for nodes x: 1 / prod_{j != k} 2 (x_k - x_j), all
// scaled by 2^-top (the formulas using them are homogeneous in the weights); returns top.
// weights must have x's size.
int BarycentricWeights(const std::vector<double>& x, std::vector<double>& weights);

// The same weights in double-double, scaled by the same 2^-top: accurate to far below double's
// rounding, at about ten times the cost.
std::vector<DoubleDouble> ExactBarycentricWeights(const std::vector<double>& x, int top);

// The polynomial through the values at the nodes, in the barycentric form: stable for any
// nodes, and exact at the nodes themselves. Outside the nodes' span that form cancels badly,
// and the first form, with the node polynomial written out, takes over there.
class Interpolant {
public:
    // x: the nodes in decreasing order; weights: as BarycentricWeights gives them for x plus
    // one dropped node, each multiplied by its distance to the dropped one; top: the exponent
    // it returned. The vectors are read, not copied: they must outlive the calls to At.
    void Fit(const std::vector<double>& x, const std::vector<double>& weights,
             const std::vector<double>& values, int top);

    // After Fit, where the nodes leave a gap the formula magnifies rounding across by many
    // orders: the weights and values in DoubleDouble as well (read, not copied). Each evaluation
    // whose bound in long double exceeds resolution is then made in DoubleDouble, so that the
    // samples stay those of one polynomial.
    void Deepen(const std::vector<DoubleDouble>& weights, const std::vector<DoubleDouble>& values,
                double resolution);

    // t in long double: a sample point between doubles, as the Chebyshev points of a deep
    // design must be (the slopes near the bands' edges magnify the rounding of t).
    double At(long double t) const;

    // The value and a bound on its rounding error: machine epsilon times the sum of the
    // magnitudes of the terms the formula adds up. The value keeps the digits of the arithmetic
    // it was found in: a deep design's error near its gain is a difference far below a double's
    // rounding of the gain.
    struct Evaluation {
        long double value = 0.0;
        double rounding = 0.0;
    };
    Evaluation WithRounding(long double t) const;

    // Whether an evaluation since the last Fit needed extended precision: between sparse nodes
    // of a long design the formula's two sums fall below the smallest double.
    bool UsedExtended() const { return m_extended.load(std::memory_order_relaxed); }

    bool Deepened() const { return m_exactWeights != nullptr; }

    std::size_t Nodes() const { return m_x->size(); }

private:
    template <class Real> struct Sum { Real num = 0, den = 0, magnitude = 0; };
    template <bool kRounding> Evaluation Evaluate(long double t) const;
    template <class Real, bool kMagnitude, class T, class Stored>
    Sum<Real> Sums(T t, const std::vector<Stored>& weights,
                   const std::vector<Stored>& values) const;
    template <bool kRounding> Evaluation Deep(double t) const;
    template <bool kRounding> Evaluation Extended(double t) const;
    Evaluation Exact(long double t) const;

    const std::vector<double>* m_x = nullptr;
    const std::vector<double>* m_weights = nullptr;
    const std::vector<double>* m_values = nullptr;
    int m_top = 0;
    bool m_constant = false;
    bool m_deep = false;       // values too far apart for double sums: always in long double
    double m_smallest = 0.0;   // the smallest nonzero value's magnitude
    double m_resolution = 0.0; // after Deepen: the largest rounding left to long double
    // After Deepen: the DoubleDouble weights and values, and their long double roundings.
    const std::vector<DoubleDouble>* m_exactWeights = nullptr;
    const std::vector<DoubleDouble>* m_exactValues = nullptr;
    std::vector<long double> m_longWeights, m_longValues;
    // Set by evaluations on several threads at once.
    mutable std::atomic<bool> m_extended = false;
};

// Chebyshev coefficients from the values at the points cos(pi j / n), j = 0 ... n, n the
// power of two at or above the coefficient count: a cosine transform, done as a real FFT of
// the even extension.
class ChebyshevFit {
public:
    explicit ChebyshevFit(int coefficients);

    // coefficients[0 ... size-1] of the polynomial p (of degree below the size).
    void Fit(const Interpolant& p, std::vector<double>& coefficients);

private:
    int m_points;
    RealFftPlan m_plan;
    std::vector<double> m_even;
    std::vector<Complex> m_bins;
    // The points as doubles, and nearer their true places for deep interpolants.
    std::vector<double> m_nodes;
    std::vector<long double> m_exactNodes;
};

// sum c_k cos(k pi m / M) for m = 0 ... M, in one real FFT of length 2M.
class UniformEvaluation {
public:
    // steps: M, a power of two above the coefficient count.
    explicit UniformEvaluation(int steps);

    // The values in the real parts of bins 0 ... M. Every call passes as many coefficients.
    const std::vector<Complex>& Evaluate(const std::vector<double>& coefficients);

private:
    int m_steps;
    RealFftPlan m_plan;
    std::vector<double> m_series;
    std::vector<Complex> m_bins;
};

// sum c_k cos(k w) and its first and second derivatives in w, summed in long double. The slope
// adds terms k c_k sin(k w) far larger than itself, with the recurrence's rounding growing with
// k: the peaks of a long deep design need long double to be placed closely enough for its
// ripples to converge.
struct SeriesPoint {
    double value = 0.0;
    double slope = 0.0;
    double curvature = 0.0;
};
SeriesPoint CosineSeriesAt(const std::vector<double>& coefficients, double omega);

} // namespace taplore
