#include "core/design/polynomial.h"

#include "core/design/threads.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace taplore {

namespace {

// Sums below this lose digits as subnormal numbers, or vanish.
constexpr double kSmallestSum = 1e-290;
// Values spanning more than this (140 dB) cancel in the sums beyond what double's 16 digits
// resolve of the smallest: a deep stop band's error beside the pass band's gain of 1.
constexpr double kDeepRange = 1e7;
// Where values span that far, an evaluation stays in double while its rounding bound is within
// this share of the smallest value.
constexpr double kDeepShare = 1e-10;

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

// ScaledProduct's products for the nodes first ... first + kNodes - 1 at once, each at t = its
// own node and skipping it. One node's four lanes wait on each other's multiplications; several
// nodes' lanes are independent chains that keep the multipliers busy. Each lane multiplies the
// same factors in the same order as ScaledProduct, so the products are the same to the bit.
template <std::size_t kNodes> struct ScaledProducts {
    double mantissas[kNodes];
    int exponents[kNodes] = {};

    ScaledProducts(const std::vector<double>& x, std::size_t first) {
        constexpr std::size_t kBlock = 64;
        const std::size_t n = x.size();
        double t[kNodes], p[kNodes][4];
        for (std::size_t i = 0; i < kNodes; ++i) {
            t[i] = x[first + i];
            std::fill(p[i], p[i] + 4, 1.0);
        }
        for (std::size_t start = 0; start < n; start += kBlock) {
            const std::size_t end = std::min(n, start + kBlock);
            // The blocks holding the skipped nodes go one node at a time.
            if (start < first + kNodes && end > first)
                for (std::size_t i = 0; i < kNodes; ++i)
                    for (std::size_t j = start; j < end; ++j)
                        p[i][j & 3] *= j == first + i ? 1.0 : 2.0 * (t[i] - x[j]);
            else
                MultiplyBlock(x, start, end, t, p);
            for (std::size_t i = 0; i < kNodes; ++i)
                for (double& part : p[i]) {
                    int e = 0;
                    part = std::frexp(part, &e);
                    exponents[i] += e;
                }
        }
        for (std::size_t i = 0; i < kNodes; ++i)
            mantissas[i] = p[i][0] * p[i][1] * p[i][2] * p[i][3];
    }

    // start is a multiple of 4, so lane j & 3 of each node takes the factor of j.
    static void MultiplyBlock(const std::vector<double>& x, std::size_t start, std::size_t end,
                              const double (&t)[kNodes], double (&p)[kNodes][4]) {
        std::size_t j = start;
        for (; j + 4 <= end; j += 4)
            for (std::size_t i = 0; i < kNodes; ++i)
                for (std::size_t lane = 0; lane < 4; ++lane)
                    p[i][lane] *= 2.0 * (t[i] - x[j + lane]);
        for (; j < end; ++j)
            for (std::size_t i = 0; i < kNodes; ++i)
                p[i][j & 3] *= 2.0 * (t[i] - x[j]);
    }
};

} // namespace

// Weights of the barycentric formula for nodes x: 1 / prod_{j != k} 2 (x_k - x_j), all
// scaled by 2^-top (the formulas using them are homogeneous in the weights); returns top.
int BarycentricWeights(const std::vector<double>& x, std::vector<double>& weights) {
    constexpr std::size_t kNodes = 4;
    const std::size_t n = x.size();
    std::vector<int> exponents(n);
    // Each thread takes groups of kNodes nodes; the last few nodes go one at a time.
    const int groups = static_cast<int>(n / kNodes);
    SplitOverThreads(ThreadsForNodes(n), groups, [&](int first, int last) {
        for (std::size_t k = first * kNodes; k < last * kNodes; k += kNodes) {
            const ScaledProducts<kNodes> products(x, k);
            for (std::size_t i = 0; i < kNodes; ++i) {
                weights[k + i] = 1.0 / products.mantissas[i];
                exponents[k + i] = -products.exponents[i];
            }
        }
    });
    for (std::size_t k = std::size_t(groups) * kNodes; k < n; ++k) {
        const ScaledProduct product(x, n, x[k], k);
        weights[k] = 1.0 / product.mantissa;
        exponents[k] = -product.exponent;
    }
    const int top = *std::max_element(exponents.begin(), exponents.end());
    for (std::size_t i = 0; i < n; ++i)
        weights[i] = std::ldexp(weights[i], exponents[i] - top);
    return top;
}

namespace {

// 1 / prod_{j != k} 2 (x_k - x_j) scaled by 2^-top, in double-double. The factors 2 are left to
// the exponent, where they are exact.
DoubleDouble ExactBarycentricWeight(const std::vector<double>& x, std::size_t k, int top) {
    // As many factors as each of the doubles' four lanes takes between its scalings: nodes
    // crowded into a narrow band give runs of factors so small that 64 of them underflow.
    constexpr std::size_t kBlock = 16;
    const std::size_t n = x.size();
    DoubleDouble product = 1.0;
    int exponent = top + static_cast<int>(n) - 1;
    for (std::size_t start = 0; start < n; start += kBlock) {
        for (std::size_t j = start; j < std::min(n, start + kBlock); ++j)
            if (j != k)
                product *= DoubleDouble::Difference(x[k], x[j]);
        // Each block's scale taken out, as for the doubles: thousands of factors overflow.
        int e = 0;
        std::frexp(product.High(), &e);
        product = product.Scaled(-e);
        exponent += e;
    }
    return (DoubleDouble(1.0) / product).Scaled(-exponent);
}

} // namespace

std::vector<DoubleDouble> ExactBarycentricWeights(const std::vector<double>& x, int top) {
    const std::size_t n = x.size();
    std::vector<DoubleDouble> weights(n);
    SplitOverThreads(ThreadsForNodes(n), static_cast<int>(n), [&](int first, int last) {
        for (int k = first; k < last; ++k)
            weights[k] = ExactBarycentricWeight(x, static_cast<std::size_t>(k), top);
    });
    return weights;
}

void Interpolant::Fit(const std::vector<double>& x, const std::vector<double>& weights,
                      const std::vector<double>& values, int top) {
    m_x = &x;
    m_weights = &weights;
    m_values = &values;
    m_top = top;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double size = std::max(std::fabs(*low), std::fabs(*high));
    m_constant = *high - *low <= 8 * std::numeric_limits<double>::epsilon() * size;
    double smallest = size;
    for (double value : values)
        if (value != 0.0)
            smallest = std::min(smallest, std::fabs(value));
    m_deep = size > kDeepRange * smallest;
    m_smallest = smallest;
    m_exactWeights = m_exactValues = nullptr;
    m_extended.store(false, std::memory_order_relaxed);
}

void Interpolant::Deepen(const std::vector<DoubleDouble>& weights,
                         const std::vector<DoubleDouble>& values, double resolution) {
    m_resolution = resolution;
    m_exactWeights = &weights;
    m_exactValues = &values;
    m_longWeights = Rounded<long double>(weights);
    m_longValues = Rounded<long double>(values);
}

double Interpolant::At(long double t) const {
    return static_cast<double>(Evaluate<false>(t).value);
}

Interpolant::Evaluation Interpolant::WithRounding(long double t) const {
    return Evaluate<true>(t);
}

template <bool kRounding> Interpolant::Evaluation Interpolant::Evaluate(long double exactT) const {
    constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
    // Values equal to rounding are a constant, which the formulas would only blur (far from
    // the nodes, beyond recognition).
    if (m_constant)
        return {m_values->front(), 0.0};
    const std::vector<double>& x = *m_x;
    const double t = static_cast<double>(exactT);
    if (m_exactWeights && t <= x.front() && t >= x.back())
        return Exact(exactT);
    if (m_deep && t <= x.front() && t >= x.back())
        return Deep<kRounding>(t);
    const Sum<double> sum = Sums<double, kRounding>(t, *m_weights, *m_values);
    if (t > x.front() || t < x.back()) {
        // prod (t - x_j) * sum y_k / ((t - x_k) prod_{j != k} (x_k - x_j)), where the weights'
        // scale 2^-top / 2 and the factors 2 cancel to 2^top.
        const ScaledProduct node(x, x.size(), t, x.size());
        const int exponent = node.exponent + m_top;
        return {std::ldexp(node.mantissa * sum.num, exponent),
                kEpsilon * std::ldexp(std::fabs(node.mantissa) * sum.magnitude, exponent)};
    }
    // t is a node (a division by zero below): the value there is the node's own.
    for (std::size_t k = 0; k < x.size() && !std::isfinite(sum.num / sum.den); ++k)
        if (t == x[k])
            return {(*m_values)[k], 0.0};
    // Both sums scale as 1 / prod (t - x_j), which far from any node of a long design leaves
    // the range of doubles: then in long double, whose exponent reaches far further.
    if (!(std::fabs(sum.den) >= kSmallestSum) || !std::isfinite(sum.num))
        return Extended<kRounding>(t);
    return {sum.num / sum.den, kEpsilon * sum.magnitude / std::fabs(sum.den)};
}

// Values far apart cancel in the sums; the bound on double's rounding tells where beyond what
// the smallest value needs, and long double takes over there.
template <bool kRounding> Interpolant::Evaluation Interpolant::Deep(double t) const {
    const Sum<double> sum = Sums<double, true>(t, *m_weights, *m_values);
    const double value = sum.num / sum.den;
    const double bound =
        std::numeric_limits<double>::epsilon() * sum.magnitude / std::fabs(sum.den);
    if (std::isfinite(value) && std::fabs(sum.den) >= kSmallestSum &&
        bound <= kDeepShare * m_smallest)
        return {value, bound};
    return Extended<kRounding>(t);
}

template <bool kRounding> Interpolant::Evaluation Interpolant::Extended(double t) const {
    m_extended.store(true, std::memory_order_relaxed);
    const Sum<long double> sum = Sums<long double, kRounding>(t, *m_weights, *m_values);
    if (!std::isfinite(static_cast<double>(sum.num / sum.den)))
        for (std::size_t k = 0; k < m_x->size(); ++k)
            if (t == (*m_x)[k])
                return {(*m_values)[k], 0.0};
    const long double epsilon = std::numeric_limits<long double>::epsilon();
    return {sum.num / sum.den, static_cast<double>(epsilon * sum.magnitude / std::fabs(sum.den))};
}

Interpolant::Evaluation Interpolant::Exact(long double t) const {
    m_extended.store(true, std::memory_order_relaxed);
    const Sum<long double> sum = Sums<long double, true>(t, m_longWeights, m_longValues);
    const long double value = sum.num / sum.den;
    if (!std::isfinite(static_cast<double>(value)))
        for (std::size_t k = 0; k < m_x->size(); ++k)
            if (t == (*m_x)[k])
                return {m_longValues[k], 0.0};
    const long double bound =
        std::numeric_limits<long double>::epsilon() * sum.magnitude / std::fabs(sum.den);
    if (bound <= m_resolution)
        return {value, static_cast<double>(bound)};
    const Sum<DoubleDouble> exact =
        Sums<DoubleDouble, false>(DoubleDouble(t), *m_exactWeights, *m_exactValues);
    // Double-double's epsilon, about 2^-105, is long double's, 2^-63, times 2^-42.
    return {static_cast<long double>(exact.num / exact.den),
            std::ldexp(static_cast<double>(bound), -42)};
}

// sum w_k y_k / (t - x_k), sum w_k / (t - x_k) and, if asked, sum |w_k y_k / (t - x_k)|, in
// four lanes, so that the compiler can keep several divisions in flight.
// t's type decides the arithmetic of the differences t - x_k, Real that of the sums.
template <class Real, bool kMagnitude, class T, class Stored>
Interpolant::Sum<Real> Interpolant::Sums(T t, const std::vector<Stored>& w,
                                         const std::vector<Stored>& y) const {
    const std::vector<double>& x = *m_x;
    const std::size_t n = x.size();
    Real nums[4] = {}, dens[4] = {}, magnitudes[4] = {};
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const Real c = Real(w[k + lane]) / (t - T(x[k + lane]));
            nums[lane] += c * Real(y[k + lane]);
            dens[lane] += c;
            if constexpr (kMagnitude)
                magnitudes[lane] += std::fabs(c * Real(y[k + lane]));
        }
    for (; k < n; ++k) {
        const Real c = Real(w[k]) / (t - T(x[k]));
        nums[0] += c * Real(y[k]);
        dens[0] += c;
        if constexpr (kMagnitude)
            magnitudes[0] += std::fabs(c * Real(y[k]));
    }
    return {nums[0] + nums[1] + nums[2] + nums[3], dens[0] + dens[1] + dens[2] + dens[3],
            magnitudes[0] + magnitudes[1] + magnitudes[2] + magnitudes[3]};
}

ChebyshevFit::ChebyshevFit(int coefficients)
    : m_points(static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(coefficients, 1))))),
      m_plan(2 * m_points), m_even(2 * m_points), m_bins(m_points + 1), m_nodes(m_points + 1),
      m_exactNodes(m_points + 1) {
    for (int j = 0; j <= m_points; ++j) {
        m_nodes[j] = std::cos(std::numbers::pi * j / m_points);
        m_exactNodes[j] = std::cos(std::numbers::pi_v<long double> * j / m_points);
    }
}

void ChebyshevFit::Fit(const Interpolant& p, std::vector<double>& coefficients) {
    const int n = m_points;
    SplitOverThreads(ThreadsForNodes(p.Nodes()), n + 1, [&](int first, int last) {
        for (int j = first; j < last; ++j)
            m_even[j] = p.Deepened() ? p.At(m_exactNodes[j]) : p.At(m_nodes[j]);
    });
    for (int j = 1; j < n; ++j)
        m_even[2 * n - j] = m_even[j];
    m_plan.Forward(m_even.data(), m_bins.data());
    for (std::size_t k = 0; k < coefficients.size(); ++k)
        coefficients[k] = m_bins[k].re / (k == 0 || int(k) == n ? 2.0 * n : n);
}

UniformEvaluation::UniformEvaluation(int steps)
    : m_steps(steps), m_plan(2 * steps), m_series(2 * steps), m_bins(steps + 1) {}

const std::vector<Complex>& UniformEvaluation::Evaluate(const std::vector<double>& coefficients) {
    // Only the coefficients' places change between calls; the zeros between stay.
    m_series[0] = coefficients[0];
    for (std::size_t k = 1; k < coefficients.size(); ++k)
        m_series[k] = m_series[2 * m_steps - k] = coefficients[k] / 2;
    m_plan.Forward(m_series.data(), m_bins.data());
    return m_bins;
}

// cos(k w) and sin(k w) by the three-term recurrence f(k+1) = 2 cos w f(k) - f(k-1) in long
// double: accurate to about k of its rounding errors, plenty for placing extrema.
SeriesPoint CosineSeriesAt(const std::vector<double>& coefficients, double omega) {
    using Real = long double;
    const Real w = omega;
    const Real twice = 2 * std::cos(w);
    Real cosine = 1, previousCosine = std::cos(w); // cos(k w), cos((k-1) w) at k = 0
    Real sine = 0, previousSine = -std::sin(w);
    Real value = 0, slope = 0, curvature = 0;
    for (std::size_t k = 0; k < coefficients.size(); ++k) {
        const Real kk = static_cast<Real>(k);
        const Real c = coefficients[k];
        value += c * cosine;
        slope -= kk * c * sine;
        curvature -= kk * kk * c * cosine;
        const Real nextCosine = twice * cosine - previousCosine;
        const Real nextSine = twice * sine - previousSine;
        previousCosine = cosine;
        cosine = nextCosine;
        previousSine = sine;
        sine = nextSine;
    }
    return {static_cast<double>(value), static_cast<double>(slope), static_cast<double>(curvature)};
}

} // namespace taplore
