#pragma once
// The pieces of the equiripple exchange that know the filter's form and its grid, but not the
// exchange: the four linear-phase forms, the grid of frequencies over the bands, the alternating
// extrema of an error on it and the taps of a polynomial.

#include "core/design/requirements.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>
#include <vector>

namespace taplore::equiripple {

constexpr double kPi = std::numbers::pi;

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
double Desired(const Requirements& r, const Band& band, double omega);

// A differentiator's error counts relative to its response, as usual for differentiators, and
// a relative band's relative to its gain.
double Weight(const Requirements& r, const Band& band, double omega);

// A frequency in Hz as radians per sample.
double Radians(double hz, double rate);

// A derivative triple: a function's value and its first and second derivatives in w.
struct Jet {
    double value = 0.0, slope = 0.0, curvature = 0.0;
};

Jet Times(const Jet& a, const Jet& b);

Jet Minus(const Jet& a, const Jet& b);

Jet FactorJet(const Form& form, double omega);

Jet DesiredJet(const Requirements& r, const Band& band, double omega);

Jet WeightJet(const Requirements& r, const Band& band, double omega);

// A frequency of the design and what the error there is made of: the error is approximated
// as D/Q - P with weight W*Q.
struct Node {
    double omega = 0.0;
    double x = 0.0;       // cos omega
    double desired = 0.0; // D / Q
    double weight = 0.0;  // W * Q
    int band = 0;
};

// Where D and Q both vanish at 0 Hz, as a differentiator's do, D/Q and W*Q have the finite
// limits gain / Q'(0) and weight * Q'(0), and the error there still counts.
bool LimitAtDc(const Requirements& r, const Form& form, const Band& band, double omega);

// x: cos omega, where the caller has it at hand.
Node MakeNode(const Requirements& r, const Form& form, int band, double omega, double x);

Node MakeNode(const Requirements& r, const Form& form, int band, double omega);

// The design's frequencies: each band's edges exactly and the points pi*m/M between them.
// Points where Q is forced to zero (and D with it, which the caller has checked) carry no
// error and are left out, except where the error tends to a limit of its own.
struct Grid {
    int steps = 0; // M
    std::vector<Node> nodes;
    std::vector<int> uniform;                   // m of each point, or -1 for a band edge
    std::vector<int> edges;                     // the points at band edges
    std::vector<std::pair<int, int>> bandRange; // each band's points [first, last)

    // m: the uniform point's index, or -1 for a band edge; x: cos omega.
    void Add(const Requirements& r, const Form& form, int band, double omega, int m, double x) {
        const bool forcedZero =
            (omega == 0.0 && form.ZeroAtDc()) || (omega == kPi && form.ZeroAtNyquist());
        if (forcedZero && !LimitAtDc(r, form, r.bands[band], omega))
            return;
        if (m < 0)
            edges.push_back(Size());
        nodes.push_back(MakeNode(r, form, band, omega, x));
        uniform.push_back(m);
    }

    int Size() const { return static_cast<int>(nodes.size()); }
};

Grid MakeGrid(const Requirements& r, const Form& form, int steps);

// The grid, refined while the bands hold too few points and memory allows. Throws
// std::bad_alloc when even the first grid does not fit, so that no design over-promises.
Grid MakeDenseEnoughGrid(const Requirements& r, const Form& form);

// In four lanes, so that no step waits for the one before.
double LargestMagnitude(const std::vector<double>& values);

struct Extremum {
    int point;           // the grid point it was found at
    Node node;           // where it lies: that grid point, or between its neighbours once refined
    double error;        // the weighted error there
    double rounding = 0; // how far rounding may have moved that error, once refined
};

using Reference = std::vector<Extremum>;

// Local extrema of the error inside each band; a band's end counts when it beats its one
// neighbour. Then neighbours of one sign give way to the largest of them.
std::vector<Extremum> AlternatingExtrema(const Grid& grid, const std::vector<double>& error);

// Down to `count` extrema, keeping the alternation: one surplus goes at the smaller end; more
// go two at a time, the smallest with the smaller of its neighbours, which then share a sign.
void KeepLargest(std::vector<Extremum>& extrema, std::size_t count);

// The taps of amplitude Q(w) sum p_k cos(k w), by the product-to-sum identities of each form.
std::vector<double> TapsOf(const Form& form, const std::vector<double>& p);

// Whether two references lie at the same frequencies.
bool Same(const Reference& a, const Reference& b);

// The spread rounding alone can leave: the largest rounding bound against the smallest
// error, with room for the bound's guesswork.
double RoundingSpread(const std::vector<Extremum>& extrema);

// How far the extremal errors are from equal, as a share of the largest.
double Spread(const std::vector<Extremum>& extrema);

// The largest extremal error's magnitude.
double Largest(const std::vector<Extremum>& extrema);

} // namespace taplore::equiripple
