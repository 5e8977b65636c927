#include "core/design/least_squares.h"

#include "core/io/memory.h"

#include <Eigen/Cholesky>
#include <Eigen/Core>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace taplore {

namespace {

// Beyond this residual the solution no longer holds its equations: the matrix is singular to
// working precision, as it is for bands far too narrow for the length.
constexpr double kMaxResidual = 1e-8;

// The amplitude A(w) = sum of a_k phi_k(w) of the four linear-phase forms: phi_k = cos(t_k w)
// for symmetric taps, sin(t_k w) for antisymmetric ones, with t_k = first + k: 0, 1, ... (odd
// symmetric), 1, 2, ... (odd antisymmetric) or 1/2, 3/2, ... (even lengths).
struct Basis {
    int taps = 0;
    bool sine = false;
    int count = 0;
    double first = 0.0;
};

Basis BasisOf(int taps, bool antisymmetric) {
    if (taps % 2 == 0)
        return {taps, antisymmetric, taps / 2, 0.5};
    return antisymmetric ? Basis{taps, true, (taps - 1) / 2, 1.0}
                         : Basis{taps, false, (taps + 1) / 2, 0.0};
}

// A band's asked amplitude over [low, high] in radians per sample: offset + slope * w. A Hilbert
// transformer's -j turns into a negative amplitude under the antisymmetric form's j.
struct Asked {
    double low = 0.0, high = 0.0;
    double offset = 0.0, slope = 0.0;
    double weight = 1.0;
};

// A relative band's weight, 1 / its gain, is held constant over this many pieces of it, each at
// the gain of its middle: the integrals stay in closed form, and on a line from 1 to 2 a piece's
// weight strays from 1 / gain by under 2 %.
constexpr int kRelativePieces = 32;

// A relative band's pieces, each its own line over its share of the band.
void AddPieces(const Asked& band, std::vector<Asked>& asked) {
    const double width = (band.high - band.low) / kRelativePieces;
    for (int k = 0; k < kRelativePieces; ++k) {
        Asked piece = band;
        piece.low = band.low + k * width;
        piece.high = k + 1 == kRelativePieces ? band.high : band.low + (k + 1) * width;
        const double middle = (piece.low + piece.high) / 2;
        piece.weight = band.weight / std::fabs(band.offset + band.slope * middle);
        asked.push_back(piece);
    }
}

std::vector<Asked> AskedOf(const Requirements& r) {
    std::vector<Asked> asked;
    for (const Band& band : r.bands) {
        Asked a;
        a.low = std::numbers::pi * (band.lowHz / (r.rate * 0.5));
        a.high = std::numbers::pi * (band.highHz / (r.rate * 0.5));
        a.weight = band.weight;
        // A sloped band's line: gain at the low edge, EndGain at the high one.
        const double rise = (EndGain(band) - band.gain) / (a.high - a.low);
        const double sign = r.kind == ResponseKind::hilbert ? -1.0 : 1.0;
        if (r.kind == ResponseKind::differentiator) {
            a.slope = band.gain;
        } else {
            a.offset = sign * (band.gain - rise * a.low);
            a.slope = sign * rise;
        }
        if (band.relative)
            AddPieces(a, asked);
        else
            asked.push_back(a);
    }
    return asked;
}

// The integral of cos(x w) over [low, high].
double CosineIntegral(double x, double low, double high) {
    return x == 0.0 ? high - low : (std::sin(x * high) - std::sin(x * low)) / x;
}

// The integral of (offset + slope w) phi(t w) over the band, phi cos or sin, from their
// antiderivatives.
double LineIntegral(const Asked& a, double t, bool sine) {
    const auto antiderivative = [&](double w) {
        const double line = a.offset + a.slope * w;
        if (t == 0.0)
            return sine ? 0.0 : a.offset * w + a.slope * w * w / 2;
        const double s = std::sin(t * w), c = std::cos(t * w);
        return sine ? -line * c / t + a.slope * s / (t * t) : line * s / t + a.slope * c / (t * t);
    };
    return antiderivative(a.high) - antiderivative(a.low);
}

// The normal equations Q a = p. Q_ij = sum over bands of weight^2 times the integral of
// phi_i phi_j, which product-to-sum turns into (C(t_i - t_j) +- C(t_i + t_j)) / 2: a Toeplitz
// and a Hankel part, each a table of 2 n values.
struct NormalEquations {
    Eigen::MatrixXd q; // the lower triangle
    Eigen::VectorXd p;
};

NormalEquations Build(const Requirements& r, const Basis& basis) {
    const int n = basis.count;
    const std::vector<Asked> asked = AskedOf(r);
    const auto weighted = [&asked](double x) {
        double sum = 0.0;
        for (const Asked& a : asked)
            sum += a.weight * a.weight * CosineIntegral(x, a.low, a.high);
        return sum;
    };
    std::vector<double> toeplitz(n), hankel(2 * n - 1);
    for (int d = 0; d < n; ++d)
        toeplitz[d] = weighted(d);
    for (int s = 0; s < 2 * n - 1; ++s)
        hankel[s] = weighted(2 * basis.first + s);
    const double sign = basis.sine ? -1.0 : 1.0;
    NormalEquations e{Eigen::MatrixXd(n, n), Eigen::VectorXd(n)};
    for (int j = 0; j < n; ++j)
        for (int i = j; i < n; ++i)
            e.q(i, j) = (toeplitz[i - j] + sign * hankel[i + j]) / 2;
    for (int k = 0; k < n; ++k) {
        double sum = 0.0;
        for (const Asked& a : asked)
            sum += a.weight * a.weight * LineIntegral(a, basis.first + k, basis.sine);
        e.p(k) = sum;
    }
    return e;
}

// Where coefficient k's taps lie: the tap t_k samples left of the centre, whose mirror on the
// right is the other; for t_k = 0 the centre tap alone.
int LeftTap(const Basis& basis, int k) {
    return basis.taps % 2 ? basis.taps / 2 - (static_cast<int>(basis.first) + k)
                          : basis.taps / 2 - 1 - k;
}

// The taps of the amplitude's coefficients: a cos(t w) is the pair a/2, a/2 either side of the
// centre, a sin(t w) the pair a/2, -a/2, a constant the centre tap.
std::vector<double> TapsOf(const Basis& basis, const Eigen::VectorXd& a) {
    std::vector<double> h(basis.taps);
    const double sign = basis.sine ? -1.0 : 1.0;
    for (int k = 0; k < basis.count; ++k) {
        const int left = LeftTap(basis, k), right = basis.taps - 1 - left;
        if (left == right) {
            h[left] = a(k);
        } else {
            h[left] = a(k) / 2;
            h[right] = sign * a(k) / 2;
        }
    }
    return h;
}

Eigen::VectorXd CoefficientsOf(const Basis& basis, const std::vector<double>& h) {
    Eigen::VectorXd a(basis.count);
    for (int k = 0; k < basis.count; ++k) {
        const int left = LeftTap(basis, k);
        a(k) = left == basis.taps - 1 - left ? h[left] : 2 * h[left];
    }
    return a;
}

// The integral of weight^2 D^2 over the bands, D = offset + slope w.
double AskedEnergy(const Requirements& r) {
    double sum = 0.0;
    for (const Asked& a : AskedOf(r)) {
        const auto antiderivative = [&a](double w) {
            return a.offset * a.offset * w + a.offset * a.slope * w * w +
                   a.slope * a.slope * w * w * w / 3;
        };
        sum += a.weight * a.weight * (antiderivative(a.high) - antiderivative(a.low));
    }
    return sum;
}

// The weighted integral squared error of coefficients a: a'Qa - 2 p'a + the asked energy.
double SquaredError(const Requirements& r, const NormalEquations& e, const Eigen::VectorXd& a) {
    const double quadratic = a.dot(e.q.selfadjointView<Eigen::Lower>() * a);
    return std::max(0.0, quadratic - 2 * e.p.dot(a) + AskedEnergy(r));
}

double Residual(const NormalEquations& e, const Eigen::VectorXd& a) {
    const Eigen::VectorXd qa = e.q.selfadjointView<Eigen::Lower>() * a;
    const double scale = e.p.norm() > 0.0 ? e.p.norm() : qa.norm();
    return scale > 0.0 ? (qa - e.p).norm() / scale : 0.0;
}

RequirementsDesign Refused(std::string why) {
    return Unmade(DesignStatus::refused, std::move(why));
}

std::optional<RequirementsDesign> InputProblem(const Requirements& r, int taps) {
    const auto problem = FixedLengthProblem(
        r, taps,
        {kMaxLeastSquaresTaps,
         "the taps must be from 2 to 8191 for antisymmetric least-squares designs",
         "the taps must be from 1 to 8191 for least-squares designs"});
    return problem ? std::optional(Refused(*problem)) : std::nullopt;
}

} // namespace

RequirementsDesign DesignLeastSquares(const Requirements& requirements, int taps,
                                      const Progress& progress) {
    if (auto problem = InputProblem(requirements, taps))
        return *problem;
    const Basis basis = BasisOf(taps, requirements.kind != ResponseKind::ordinary);
    // The matrix, its factor and the products: about three n^2 doubles.
    if (!mem::Fits(std::int64_t{basis.count} * basis.count, 3 * sizeof(double)))
        return Unmade(DesignStatus::failed, "not enough memory for the design");
    if (progress && !progress(0.0))
        return Unmade(DesignStatus::stopped, "");
    NormalEquations e = Build(requirements, basis);
    // LDLT with pivoting: the matrix is symmetric positive semi-definite, and nearly singular
    // where the transitions are wide; a plain Cholesky would break down there.
    const Eigen::LDLT<Eigen::MatrixXd> ldlt(e.q);
    Eigen::VectorXd a = ldlt.solve(e.p);
    // One step of refinement takes the residual from what the factor's rounding leaves down to
    // what the matrix's own rounding leaves.
    a += ldlt.solve(e.p - e.q.selfadjointView<Eigen::Lower>() * a);
    if (!a.allFinite() || Residual(e, a) > kMaxResidual)
        return Unmade(DesignStatus::failed,
                      "the normal equations are singular for these bands: use fewer taps or "
                      "wider bands");
    if (progress)
        progress(1.0);
    RequirementsDesign design;
    design.status = DesignStatus::converged;
    design.taps = TapsOf(basis, a);
    design.report.squaredError = SquaredError(requirements, e, a);
    return design;
}

double NormalEquationsResidual(const Requirements& requirements, const std::vector<double>& taps) {
    const Basis basis =
        BasisOf(static_cast<int>(taps.size()), requirements.kind != ResponseKind::ordinary);
    return Residual(Build(requirements, basis), CoefficientsOf(basis, taps));
}

} // namespace taplore
