#include "core/design/fewest_taps.h"

#include "core/design/band_measure.h"
#include "core/design/equiripple.h"
#include "core/design/kaiser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <numbers>

namespace taplore {

namespace {

// One length, designed and measured.
struct Attempt {
    DesignStatus status = DesignStatus::refused;
    std::string message;
    std::vector<double> taps;
    std::vector<double> deviations;
    double beta = 0.0;
    bool meets = false;
};

// Each band's error counts by the inverse of its tolerance: a weighted deviation of 1 or less
// then keeps every tolerance.
Requirements WeightedByTolerance(const Requirements& requirements) {
    Requirements weighted = requirements;
    for (Band& band : weighted.bands)
        band.weight = 1.0 / AllowedDeviation(requirements, band);
    return weighted;
}

int LongestFor(DesignMethod method) {
    return method == DesignMethod::equiripple ? kMaxEquirippleTaps : kMaxKaiserTaps;
}

class Search {
public:
    Search(const Requirements& r, DesignMethod method, const Progress& progress)
        : m_requirements(r), m_weighted(WeightedByTolerance(r)), m_method(method),
          m_progress(progress) {}

    // The allowed length nearest above or at taps, or 0 beyond the longest.
    int AtOrAbove(int taps) const {
        for (int n = std::max(taps, 1); n <= LongestFor(m_method); ++n)
            if (!SymmetryProblem(m_requirements, n))
                return n;
        return 0;
    }

    // The allowed length below taps, or 0 when there is none.
    int Below(int taps) const {
        for (int n = taps - 1; n >= 1; --n)
            if (!SymmetryProblem(m_requirements, n))
                return n;
        return 0;
    }

    // Designed once per length, then remembered.
    const Attempt& Try(int taps) {
        auto [at, fresh] = m_attempts.try_emplace(taps);
        if (fresh)
            at->second = Design(taps);
        return at->second;
    }

    static bool Usable(const Attempt& attempt) { return HasTaps(attempt.status); }

    int Designs() const { return static_cast<int>(m_attempts.size()); }

private:
    Attempt Design(int taps) {
        Attempt attempt;
        if (m_method == DesignMethod::equiripple) {
            EquirippleResult design = DesignEquiripple(m_weighted, taps, m_progress);
            attempt.status = design.status;
            attempt.message = std::move(design.message);
            attempt.taps = std::move(design.taps);
        } else {
            KaiserResult design = DesignKaiser(m_requirements, taps);
            attempt.status = design.status;
            attempt.message = std::move(design.message);
            attempt.taps = std::move(design.taps);
            attempt.beta = design.beta;
        }
        if (Usable(attempt)) {
            attempt.deviations = MeasureDeviations(attempt.taps, m_requirements);
            attempt.meets = MeetsTolerances(attempt.deviations, m_requirements);
        }
        return attempt;
    }

    const Requirements& m_requirements;
    Requirements m_weighted;
    DesignMethod m_method;
    const Progress& m_progress;
    std::map<int, Attempt> m_attempts;
};

FewestTapsResult Failed(FewestTapsResult result, const char* why) {
    result.status = DesignStatus::failed;
    result.message = why;
    return result;
}

FewestTapsResult Ended(const Attempt& attempt, FewestTapsResult result) {
    result.status = attempt.status;
    result.message = attempt.message;
    return result;
}

// The design an attempt made, as the result hands it out.
void Take(const Attempt& attempt, FewestTapsResult& result) {
    result.status = attempt.status;
    result.message = attempt.message;
    result.taps = attempt.taps;
    result.deviations = attempt.deviations;
    result.beta = attempt.beta;
}

// The shortest length found to meet, and its next shorter allowed length, which misses.
FewestTapsResult Found(Search& search, int taps, FewestTapsResult result) {
    Take(search.Try(taps), result);
    result.shorterTaps = search.Below(taps);
    if (result.shorterTaps > 0)
        result.shorterDeviations = search.Try(result.shorterTaps).deviations;
    result.designs = search.Designs();
    return result;
}

FewestTapsResult Run(const Requirements& requirements, DesignMethod method,
                     const Progress& progress) {
    FewestTapsResult result;
    Search search(requirements, method, progress);
    result.estimate = search.AtOrAbove(EstimateTaps(requirements, method));
    const auto failedAt = [&](const Attempt& attempt) { return Ended(attempt, result); };

    int meets = 0, misses = 0;
    // From the estimate down while the designs meet...
    const Attempt& first = search.Try(result.estimate);
    if (!Search::Usable(first))
        return failedAt(first);
    if (first.meets) {
        meets = result.estimate;
        for (int n = search.Below(meets); n > 0; n = search.Below(meets)) {
            const Attempt& attempt = search.Try(n);
            if (!Search::Usable(attempt))
                return failedAt(attempt);
            if (!attempt.meets)
                break;
            meets = n;
        }
        return Found(search, meets, result);
    }
    // ...or up in growing steps until one meets, then halving the gap between the longest
    // that misses and the shortest that meets.
    misses = result.estimate;
    for (int step = 1; meets == 0; step *= 2) {
        const int n = search.AtOrAbove(std::min<long long>(misses + step, LongestFor(method)));
        if (n == 0 || n == misses)
            return Failed(result, "the requirements need more taps than the longest design");
        const Attempt& attempt = search.Try(n);
        if (!Search::Usable(attempt))
            return failedAt(attempt);
        (attempt.meets ? meets : misses) = n;
    }
    // Allowed lengths lie between the two while the next one below `meets` is not `misses`,
    // and the middle one is strictly between.
    while (search.Below(meets) != misses) {
        const int n = search.AtOrAbove(misses + (meets - misses) / 2);
        const Attempt& attempt = search.Try(n);
        if (!Search::Usable(attempt))
            return failedAt(attempt);
        (attempt.meets ? meets : misses) = n;
    }
    return Found(search, meets, result);
}

} // namespace

int EstimateTaps(const Requirements& requirements, DesignMethod method) {
    const double transition = NarrowestTransition(requirements);
    double taps = 1.0;
    if (method == DesignMethod::kaiser) {
        taps = KaiserLength(KaiserAttenuation(requirements), transition);
    } else if (std::isfinite(transition)) {
        const auto [dp, ds] = TightestDeviations(requirements);
        const double cycles = transition / (2 * std::numbers::pi);
        taps = std::ceil((-20.0 * std::log10(std::sqrt(dp * ds)) - 13.0) / (14.6 * cycles) + 1.0);
    }
    return static_cast<int>(std::clamp(taps, 1.0, double(LongestFor(method))));
}

namespace {

// work() for requirements that pass CheckTolerances, as a refusal otherwise, and as a failure
// where memory runs short.
template <class Work> FewestTapsResult Checked(const Requirements& requirements, const Work& work) {
    FewestTapsResult result;
    if (auto problem = CheckTolerances(requirements)) {
        result.message = problem->text;
        return result;
    }
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return Failed(result, "not enough memory for the design");
    }
}

} // namespace

FewestTapsResult DesignAtLength(const Requirements& requirements, DesignMethod method, int taps,
                                const Progress& progress) {
    return Checked(requirements, [&] {
        FewestTapsResult result;
        Search search(requirements, method, progress);
        const Attempt& attempt = search.Try(taps);
        if (!Search::Usable(attempt))
            return Ended(attempt, result);
        Take(attempt, result);
        result.estimate = taps;
        result.designs = 1;
        return result;
    });
}

FewestTapsResult DesignFewestTaps(const Requirements& requirements, DesignMethod method,
                                  const Progress& progress) {
    return Checked(requirements, [&] { return Run(requirements, method, progress); });
}

} // namespace taplore
