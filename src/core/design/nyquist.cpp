#include "core/design/nyquist.h"

#include "core/design/band_measure.h"
#include "core/design/equiripple.h"
#include "core/design/fewest_taps.h"
#include "core/design/kaiser.h"
#include "core/design/requirements_design.h"
#include "core/design/window_functions.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <numbers>

namespace taplore {

namespace {

bool IsEquiripple(const Method& method) {
    return method.name == DefaultMethod().name;
}

// The allowed lengths counted from 1: the k-th has its end taps M(k) from the centre, M
// running over 1, 2, ... without the multiples of L.
int LengthAt(int index, int band) {
    return 2 * (index + (index - 1) / (band - 1)) + 1;
}

// The index of the shortest allowed length of at least taps taps.
int IndexAtOrAbove(int taps, int band) {
    const int reach = std::max(1, taps / 2); // the end taps' distance from the centre
    return reach - reach / band + (reach % band == 0 ? 1 : 0);
}

// The half-band of taps = 4m - 1 from G, the 2m-tap one-band equiripple design over twice the
// pass band: its even taps are G's halved, its centre 1/2, its other odd taps 0.
RequirementsDesign HalfBandDesign(const Requirements& requirements, int taps,
                                  const Progress& progress) {
    Requirements one;
    one.rate = requirements.rate;
    one.bands = {{0.0, 2.0 * requirements.bands.front().highHz, 1.0, 1.0}};
    const int half = (taps + 1) / 2;
    EquirippleResult g = DesignEquiripple(one, half, progress);
    RequirementsDesign design;
    design.status = g.status;
    design.message = g.message;
    if (!HasTaps(g.status))
        return design;
    design.taps.assign(taps, 0.0);
    for (int k = 0; k < half; ++k)
        design.taps[2 * k] = g.taps[k] / 2.0;
    design.taps[taps / 2] = 0.5;
    design.report.weightedDeviation = g.deviation;
    design.report.iterations = g.iterations;
    design.report.extended = g.extended;
    design.report.warning = g.message;
    return design;
}

// sin(pi n / L) / (pi n) under the Kaiser window; the zeros and the centre set, not computed,
// so that they are exact whatever sin's rounding, and each tap mirrored, so that the taps are
// symmetric to the bit.
RequirementsDesign WindowedDesign(const Requirements& requirements, int band, int taps) {
    RequirementsDesign design;
    const double beta = KaiserBeta(KaiserAttenuation(requirements));
    const int centre = taps / 2;
    design.taps.assign(taps, 0.0);
    design.taps[centre] = 1.0 / band;
    for (int n = 1; n <= centre; ++n) {
        if (n % band == 0)
            continue;
        // sin(pi n / L) = (-1)^q sin(pi r / L) for n = qL + r: its argument stays below pi,
        // where sin is good to an ulp or so, and 2L is never formed, which could overflow.
        const double sine = std::sin(std::numbers::pi * (n % band) / band);
        const double tap = ((n / band) % 2 == 0 ? sine : -sine) / (std::numbers::pi * n) *
                           WindowAt(WindowKind::kaiser, centre + n, taps, beta);
        design.taps[centre - n] = design.taps[centre + n] = tap;
    }
    design.status = DesignStatus::converged;
    design.report.beta = beta;
    return design;
}

// The design of one length, measured, its report complete but for the shorter length.
RequirementsDesign Measured(RequirementsDesign design, const Requirements& requirements, int band,
                            const Method& method) {
    if (!HasTaps(design.status))
        return design;
    design.report.nyquistBand = band;
    CompleteReport(design, requirements, method);
    return design;
}

// The fewest of the allowed lengths, by index: each index designed once, longer never worse.
class NyquistSearch {
public:
    NyquistSearch(const Requirements& r, int band, const Method& method, const Progress& progress)
        : m_requirements(r), m_band(band), m_method(method), m_progress(progress),
          m_last(IndexAtOrAbove(LongestNyquist(method, band), band)) {}

    // The index of the fewest taps that meet, searched from the estimate; 0 where none up to
    // the longest does, -1 where a design failed (Failure says why).
    int Fewest(int estimate) {
        const int start = std::clamp(IndexAtOrAbove(estimate, m_band), 1, m_last);
        int miss = 0, meets = 0;
        const int first = Verdict(start);
        if (first < 0)
            return -1;
        (first ? meets : miss) = start;
        // Doubling steps away from the estimate until a miss and a meet enclose the answer.
        for (int step = 1; meets == 0 || (miss == 0 && meets > 1); step *= 2) {
            if (meets == 0 && miss == m_last)
                return 0;
            const int at = meets == 0 ? std::min(m_last, miss + step) : std::max(1, meets - step);
            const int verdict = Verdict(at);
            if (verdict < 0)
                return -1;
            (verdict ? meets : miss) = at;
        }
        while (meets - miss > 1) {
            const int mid = miss + (meets - miss) / 2;
            const int verdict = Verdict(mid);
            if (verdict < 0)
                return -1;
            (verdict ? meets : miss) = mid;
        }
        return meets;
    }

    const RequirementsDesign& At(int index) const { return m_designs.at(index); }
    const RequirementsDesign& Failure() const { return m_designs.at(m_failed); }
    int Designs() const { return static_cast<int>(m_designs.size()); }

private:
    // 1 where the index's design meets, 0 where it misses, -1 where it failed.
    int Verdict(int index) {
        auto [at, fresh] = m_designs.try_emplace(index);
        if (fresh)
            at->second = Measured(DesignNyquistLength(m_requirements, m_band, m_method,
                                                      LengthAt(index, m_band), m_progress),
                                  m_requirements, m_band, m_method);
        if (!HasTaps(at->second.status)) {
            m_failed = index;
            return -1;
        }
        return Meets(at->second.report) ? 1 : 0;
    }

    const Requirements& m_requirements;
    int m_band;
    const Method& m_method;
    const Progress& m_progress;
    int m_last; // the index of the longest allowed length
    std::map<int, RequirementsDesign> m_designs;
    int m_failed = 0;
};

// Why the method cannot design these requirements as an L-th band, or nullopt.
std::optional<std::string> Refusal(const Requirements& requirements, int band,
                                   const Method& method) {
    if (auto problem = NyquistProblem(requirements, band))
        return problem;
    if (!DesignsNyquist(method, band))
        return "this method cannot keep an L-th band's zeros";
    return std::nullopt;
}

RequirementsDesign Search(const Requirements& requirements, int band, const Method& method,
                          const Progress& progress) {
    // As the other searches: the estimates are good to a few percent.
    const int needed = method.estimate(requirements);
    const int longest = LongestNyquist(method, band);
    if (needed > longest + longest / 4)
        return Unmade(DesignStatus::refused, NeedsMoreThanLongest(needed, longest));
    NyquistSearch search(requirements, band, method, progress);
    const int fewest = search.Fewest(needed);
    if (fewest < 0)
        return search.Failure();
    if (fewest == 0)
        return Unmade(DesignStatus::failed,
                      "the requirements need more taps than the longest design");
    RequirementsDesign design = search.At(fewest);
    if (fewest > 1)
        design.report.shorter.push_back(
            {LengthAt(fewest - 1, band), search.At(fewest - 1).report.deviations});
    design.report.designs = search.Designs();
    return design;
}

} // namespace

double NyquistStopEdge(double rate, double passHz, int band) {
    return rate / band - passHz;
}

Requirements NyquistRequirements(double rate, double passHz, int band, double rippleDb,
                                 double attenuationDb) {
    Requirements r;
    r.rate = rate;
    r.bands = {{0.0, passHz, 1.0, 1.0}, {NyquistStopEdge(rate, passHz, band), rate / 2, 0.0, 1.0}};
    r.rippleDb = rippleDb;
    r.attenuationDb = attenuationDb;
    return r;
}

std::optional<std::string> NyquistProblem(const Requirements& requirements, int band) {
    if (band < 2)
        return "an L-th-band filter needs L from 2";
    if (auto problem = CheckTolerances(requirements))
        return problem->text;
    const std::vector<Band>& bands = requirements.bands;
    const double rate = requirements.rate;
    if (bands.size() != 2 || bands[0].lowHz != 0.0 || bands[0].gain != 1.0 ||
        bands[0].highHz >= rate / (2.0 * band) ||
        bands[1].lowHz != NyquistStopEdge(rate, bands[0].highHz, band) ||
        bands[1].highHz != rate / 2 || bands[0].toleranceDb || bands[1].toleranceDb)
        return "an L-th-band low-pass passes 0 to below rate / (2L) and stops from rate / L less "
               "the pass band's edge to half the rate";
    return std::nullopt;
}

bool IsNyquistLength(int taps, int band) {
    return band >= 2 && taps >= 3 && taps % 2 == 1 && (taps / 2) % band != 0;
}

bool DesignsNyquist(const Method& method, int band) {
    return method.name == "kaiser" || (IsEquiripple(method) && band == 2);
}

int LongestNyquist(const Method& method, int band) {
    // The half-band is twice as long as G, less a tap.
    int longest = IsEquiripple(method) ? 2 * method.longest - 1 : method.longest;
    while (longest >= 3 && !IsNyquistLength(longest, band))
        --longest;
    return longest;
}

RequirementsDesign DesignNyquistLength(const Requirements& requirements, int band,
                                       const Method& method, int taps, const Progress& progress) {
    if (auto refusal = Refusal(requirements, band, method))
        return Unmade(DesignStatus::refused, *refusal);
    if (!IsNyquistLength(taps, band) || taps > LongestNyquist(method, band))
        return Unmade(DesignStatus::refused,
                      "an L-th-band length is odd, its end taps' distance from the centre no "
                      "multiple of L");
    return IsEquiripple(method) ? HalfBandDesign(requirements, taps, progress)
                                : WindowedDesign(requirements, band, taps);
}

RequirementsDesign DesignFewestNyquistTaps(const Requirements& requirements, int band,
                                           const Method& method, const Progress& progress) {
    if (auto refusal = Refusal(requirements, band, method))
        return Unmade(DesignStatus::refused, *refusal);
    try {
        return Search(requirements, band, method, progress);
    } catch (const std::bad_alloc&) {
        return Unmade(DesignStatus::failed, "not enough memory for the design");
    }
}

} // namespace taplore
