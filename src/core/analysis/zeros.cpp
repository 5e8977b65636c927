#include "core/analysis/zeros.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace taplore {

namespace {

using Complex = std::complex<double>;
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// Enough for the linear convergence at multiple zeros; filters' simple zeros take 12 to 18.
constexpr int kMostSweeps = 300;

// 1 / d without the checks for infinities of the library's complex division: d is a difference
// of two distinct finite points.
Complex Inverse(Complex d) {
    return std::conj(d) / std::norm(d);
}

// The polynomial a[0] z^n + ... + a[n], a[0] and a[n] not 0, at one point: its value, its
// ratio to its derivative and the sum of its terms' magnitudes. Beyond the unit circle it is
// evaluated as the reversed polynomial at 1/z, so that no power of z overflows.
template <class Real> struct Evaluation {
    std::complex<Real> value;  // p(z), scaled by |z|^-n beyond the unit circle
    std::complex<Real> newton; // p(z) / p'(z)
    Real terms;                // sum |a[k]| |z|^(n-k), scaled alike
};

template <class Real> Evaluation<Real> Evaluate(std::span<const double> a, std::complex<Real> z) {
    using Number = std::complex<Real>;
    const auto n = static_cast<Real>(a.size() - 1);
    Number p = 0, dp = 0;
    Real terms = 0;
    if (std::abs(z) <= 1) {
        const Real r = std::abs(z);
        for (const double c : a) {
            dp = dp * z + p;
            p = p * z + static_cast<Real>(c);
            terms = terms * r + std::fabs(static_cast<Real>(c));
        }
        return {p, p / dp, terms};
    }
    // p(z) = z^n q(w), w = 1/z, q(w) = a[n] w^n + ... + a[0]: p / p' = z q / (n q - w q').
    const Number w = Real(1) / z;
    const Real r = std::abs(w);
    for (auto c = a.rbegin(); c != a.rend(); ++c) {
        dp = dp * w + p;
        p = p * w + static_cast<Real>(*c);
        terms = terms * r + std::fabs(static_cast<Real>(*c));
    }
    return {p, z * p / (n * p - w * dp), terms};
}

// Bini's start: the upper convex hull of the points (k, log |coefficient of z^k|) puts, for
// each of its edges from i to j, j - i points on the circle of the radius its slope gives,
// spread in angle and turned off the real axis (a real polynomial's iteration would otherwise
// keep conjugate pairs from parting).
std::vector<Complex> StartingPoints(std::span<const double> a) {
    const int n = static_cast<int>(a.size()) - 1;
    std::vector<int> hull;
    const auto height = [&](int k) { return std::log(std::fabs(a[n - k])); };
    for (int k = 0; k <= n; ++k) {
        if (a[n - k] == 0.0)
            continue;
        while (hull.size() >= 2) {
            const int i = hull[hull.size() - 2], j = hull.back();
            // j lies on or below the line from i to k: not a corner of the upper hull.
            if ((height(j) - height(i)) * (k - i) > (height(k) - height(i)) * (j - i))
                break;
            hull.pop_back();
        }
        hull.push_back(k);
    }
    std::vector<Complex> points;
    points.reserve(n);
    for (std::size_t e = 1; e < hull.size(); ++e) {
        const int i = hull[e - 1], m = hull[e] - i;
        const double logRadius = std::clamp((height(i) - height(hull[e])) / m, -300.0, 300.0);
        for (int k = 0; k < m; ++k) {
            const double angle = 2 * std::numbers::pi * (double(k) / m + double(i) / n) + 0.7;
            points.push_back(std::polar(std::exp(logRadius), angle));
        }
    }
    return points;
}

// The Aberth-Ehrlich iteration: each point moves by Newton's correction deflated by the other
// points, N / (1 - N sum 1/(z - z_j)), which converges to all roots at once, cubically for
// simple ones. Moves are used at once within a sweep. A point whose value has fallen to the
// rounding of its evaluation (2n eps of its terms) takes the step computed there and stays;
// Polished then refines it.
int Iterate(std::span<const double> a, std::vector<Complex>& z) {
    const std::size_t count = z.size();
    const double level = 2.0 * static_cast<double>(count) * kEpsilon;
    std::vector<char> done(count, 0);
    std::size_t left = count;
    int sweep = 0;
    while (left > 0 && sweep < kMostSweeps) {
        ++sweep;
        for (std::size_t i = 0; i < count; ++i) {
            if (done[i])
                continue;
            const Evaluation<double> e = Evaluate(a, z[i]);
            if (e.value == 0.0) { // on a root exactly
                done[i] = 1;
                --left;
                continue;
            }
            Complex pull = 0.0;
            for (std::size_t j = 0; j < count; ++j)
                if (j != i && z[j] != z[i])
                    pull += Inverse(z[i] - z[j]);
            const Complex step = e.newton / (1.0 - e.newton * pull);
            if (std::isfinite(step.real()) && std::isfinite(step.imag()))
                z[i] -= step;
            else // on a zero of the derivative: nudged off it
                z[i] *= Complex(1.0, 1e-7);
            if (std::abs(e.value) <= level * e.terms ||
                std::abs(step) <= kEpsilon * std::abs(z[i])) {
                done[i] = 1;
                --left;
            }
        }
    }
    return sweep;
}

// Newton's steps on the polynomial evaluated in long double, where the value at a root found
// in double is still above the rounding: each root moves to the double nearest the exact one.
// A step is kept only where it lowers the value, so that a multiple root's cluster stays.
Complex Polished(std::span<const double> a, Complex root) {
    using Extended = std::complex<long double>;
    Extended z(root.real(), root.imag());
    Evaluation<long double> e = Evaluate(a, z);
    for (int step = 0; step < 3; ++step) {
        const Extended next = z - e.newton;
        const Evaluation<long double> there = Evaluate(a, next);
        if (!(std::abs(there.value) / there.terms < std::abs(e.value) / e.terms))
            break;
        z = next;
        e = there;
    }
    return {static_cast<double>(z.real()), static_cast<double>(z.imag())};
}

// Whether u comes before v: by angle from -pi (exclusive) to pi, then by radius.
bool AngleOrder(Complex u, Complex v) {
    const double au = std::arg(u), av = std::arg(v);
    return au != av ? au < av : std::abs(u) < std::abs(v);
}

// A root the iteration left a rounding's width off the real axis is real; -0 becomes +0, so
// that a negative real zero has the angle pi.
Complex Tidied(Complex z) {
    const double im = std::fabs(z.imag()) <= 4 * kEpsilon * std::abs(z) ? 0.0 : z.imag();
    return {z.real() + 0.0, im + 0.0};
}

} // namespace

double Residual(std::span<const double> taps, std::complex<double> z) {
    std::size_t last = taps.size();
    while (last > 0 && taps[last - 1] == 0.0)
        --last;
    if (last == 0) // every point is a zero
        return 0.0;
    if (z == 0.0) // H's value there is its last tap's
        return last < taps.size() ? 0.0 : 1.0;
    // In long double, so that the figure tells the root's own error, not the evaluation's.
    const auto e = Evaluate(taps.first(last), std::complex<long double>(z.real(), z.imag()));
    return static_cast<double>(std::abs(e.value) / e.terms);
}

TapZeros FindZeros(std::span<const double> taps) {
    TapZeros found;
    if (taps.size() > kMaxZerosTaps) {
        found.problem = "the zeros are found for up to " + std::to_string(kMaxZerosTaps) + " taps";
        return found;
    }
    if (!std::all_of(taps.begin(), taps.end(), [](double t) { return std::isfinite(t); })) {
        found.problem = "the taps are not all finite";
        return found;
    }
    const auto first = std::find_if(taps.begin(), taps.end(), [](double t) { return t != 0; });
    if (first == taps.end()) {
        found.problem = "every tap is 0, so every point is a zero";
        return found;
    }
    const auto end =
        std::find_if(taps.rbegin(), taps.rend(), [](double t) { return t != 0; }).base();
    found.atInfinity = static_cast<int>(first - taps.begin());
    const std::span<const double> polynomial(first, end);
    std::vector<Complex> roots = StartingPoints(polynomial);
    found.sweeps = roots.empty() ? 0 : Iterate(polynomial, roots);
    found.zeros.assign(taps.end() - end, Complex(0.0, 0.0));
    for (const Complex root : roots) {
        const Complex zero = Tidied(Polished(polynomial, root));
        found.zeros.push_back(zero);
        found.largestResidual = std::max(found.largestResidual, Residual(polynomial, zero));
    }
    std::sort(found.zeros.begin(), found.zeros.end(), AngleOrder);
    return found;
}

} // namespace taplore
