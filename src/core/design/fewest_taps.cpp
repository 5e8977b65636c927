#include "core/design/fewest_taps.h"

#include "core/design/band_measure.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <numbers>

namespace taplore {

namespace {

// One length, designed and measured.
struct Attempt {
    RequirementsDesign design;
    bool meets = false;
    double excessDb = 0.0; // ExcessDb of its deviations
};

// Each band's error counts by the inverse of its tolerance: a weighted deviation of 1 or less
// then keeps every tolerance.
Requirements WeightedByTolerance(const Requirements& requirements) {
    Requirements weighted = requirements;
    for (Band& band : weighted.bands)
        band.weight = 1.0 / AllowedDeviation(requirements, band);
    return weighted;
}

bool Usable(const Attempt& attempt) {
    return HasTaps(attempt.design.status);
}

// How far a design is from its tolerances, in dB: 20 log10 of the largest ratio of a band's
// deviation to its allowed one. At most 0 where every band is met; it falls about linearly with
// the length, which is what the search predicts from.
double ExcessDb(const std::vector<double>& deviations, const Requirements& requirements) {
    double ratio = 0.0;
    for (std::size_t i = 0; i < deviations.size(); ++i)
        ratio = std::max(ratio, deviations[i] / AllowedDeviation(requirements, requirements.bands[i]));
    return 20.0 * std::log10(ratio);
}

class Search {
public:
    Search(const Requirements& r, const Method& method, const Progress& progress)
        : m_requirements(r), m_weighted(WeightedByTolerance(r)), m_method(method),
          m_progress(progress) {}

    bool Allowed(int taps) const {
        return taps >= 1 && taps <= m_method.longest && !SymmetryProblem(m_requirements, taps);
    }

    // The length of parity `odd` at or above taps (at least the parity's shortest).
    static int OfParityAtOrAbove(double taps, bool odd) {
        int n = static_cast<int>(std::clamp(std::ceil(taps), 1.0 + !odd, 1e9));
        if ((n % 2 != 0) != odd)
            ++n;
        return n;
    }

    // Designed once per length, then remembered; each parity starts from its last design.
    const Attempt& Try(int taps) {
        auto [at, fresh] = m_attempts.try_emplace(taps);
        if (fresh)
            at->second = Design(taps);
        return at->second;
    }

    int Designs() const { return static_cast<int>(m_attempts.size()); }
    const Method& Designer() const { return m_method; }
    const Requirements& Asked() const { return m_requirements; }

private:
    Attempt Design(int taps) {
        Attempt attempt;
        std::vector<double>& start = m_starts[taps % 2];
        // A parity's first design starts from the other parity's extrema, where there are any.
        if (start.empty())
            start = m_starts[1 - taps % 2];
        // The share of the search done: as many designs again as have been made, at least two.
        const int made = Designs() - 1;
        const Progress progress = [this, made](double done) {
            const double share = std::max(m_done, (made + done) / (2.0 * made + 2.0));
            m_done = share;
            return !m_progress || m_progress(share);
        };
        attempt.design = m_method.design({m_weighted, taps, progress, &start});
        if (Usable(attempt)) {
            attempt.design.report.deviations =
                MeasureDeviations(attempt.design.taps, m_requirements);
            attempt.meets = MeetsTolerances(attempt.design.report.deviations, m_requirements);
            attempt.excessDb = ExcessDb(attempt.design.report.deviations, m_requirements);
        }
        return attempt;
    }

    const Requirements& m_requirements;
    Requirements m_weighted;
    const Method& m_method;
    const Progress& m_progress;
    std::map<int, Attempt> m_attempts;
    std::vector<double> m_starts[2]; // the extremal frequencies of the last even and odd design
    double m_done = 0.0;
};

// The design an attempt made, as the result hands it out, its report completed.
RequirementsDesign Take(const Attempt& attempt, const Requirements& requirements,
                        const Method& method) {
    RequirementsDesign design = attempt.design;
    design.report.method = &method;
    design.report.requirements = requirements;
    design.report.taps = static_cast<int>(design.taps.size());
    return design;
}

// The fewest taps of one parity, found by predicting where the excess crosses 0 and confirming
// around the prediction: within a parity a longer design is never worse, so the answer is the
// one a search of every length would give.
class ParitySearch {
public:
    // below: only lengths under it count (0: no bound); failed designs end the search.
    ParitySearch(Search& search, bool odd, int below, double slopeDb)
        : m_search(search), m_odd(odd), m_below(below), m_slopeDb(slopeDb) {}

    // From a first length: the fewest of the parity that meets, 0 where none does (below the
    // bound or the longest), or -1 with m_failed set where a design failed.
    int From(int first) {
        int n = Clamp(first);
        while (n > 0) {
            const Attempt& attempt = m_search.Try(n);
            if (!Usable(attempt)) {
                m_failed = &attempt;
                return -1;
            }
            Learn(n, attempt);
            if (m_meets > 0 && (m_meets == Shortest() || m_misses == m_meets - 2))
                return m_meets;
            n = Next();
        }
        return 0;
    }

    const Attempt* Failure() const { return m_failed; }
    // The longest length of the parity known to miss, or 0.
    int Misses() const { return m_misses; }

private:
    int Shortest() const { return m_odd ? 1 : 2; }
    int Longest() const {
        int longest = m_search.Designer().longest;
        if (m_below > 0)
            longest = std::min(longest, m_below - 1);
        return (longest % 2 != 0) == m_odd ? longest : longest - 1;
    }
    int Clamp(int n) const {
        n = std::clamp(Search::OfParityAtOrAbove(n, m_odd), Shortest(), Longest());
        return m_search.Allowed(n) && n >= Shortest() ? n : 0;
    }

    void Learn(int n, const Attempt& attempt) {
        if (attempt.meets)
            m_meets = m_meets == 0 ? n : std::min(m_meets, n);
        else
            m_misses = std::max(m_misses, n);
        // The slope from the last two designs, where they tell one: a secant through both.
        if (m_lastTaps > 0 && n != m_lastTaps && std::isfinite(attempt.excessDb) &&
            std::isfinite(m_lastExcessDb)) {
            const double slope = (attempt.excessDb - m_lastExcessDb) / (n - m_lastTaps);
            m_improving = slope < 0.0;
            if (m_improving)
                m_slopeDb = slope;
        }
        m_lastTaps = n;
        m_lastExcessDb = attempt.excessDb;
    }

    // The next length to design: where the line predicts an excess of 0, rounded up to the
    // parity and kept strictly inside what is known; growing steps where the prediction fails
    // to move, and halving once both ends are known and the prediction would not shrink them.
    int Next() {
        const double predicted = m_lastTaps - m_lastExcessDb / m_slopeDb;
        int n = std::isfinite(predicted) ? Search::OfParityAtOrAbove(predicted, m_odd) : 0;
        if (m_meets == 0) {
            // Only misses known: beyond the longest miss, at least by a growing step.
            if (m_misses >= Longest())
                return 0;
            // Where longer designs did not come closer, the line says nothing: growing steps.
            if (!m_improving)
                m_step *= 2;
            n = std::max(n, m_misses + (m_improving ? 2 : m_step));
            return Clamp(std::min(n, Longest()));
        }
        const int low = m_misses > 0 ? m_misses + 2 : Shortest();
        const int high = m_meets - 2;
        if (n > high)
            n = high; // the length just below the shortest that meets must be shown to miss
        if (n < low)
            n = low;
        if (m_misses > 0 && ++m_bracketed > 2) // the line no longer narrows it fast: halve
            n = Search::OfParityAtOrAbove((low + high) / 2.0, m_odd);
        return Clamp(std::clamp(n, low, high));
    }

    Search& m_search;
    bool m_odd;
    int m_below;
    double m_slopeDb;
    int m_meets = 0, m_misses = 0;
    int m_lastTaps = 0;
    double m_lastExcessDb = 0.0;
    int m_step = 2, m_bracketed = 0;
    bool m_improving = true;
    const Attempt* m_failed = nullptr;
};

// The excess falls by about 14.6 dB per tap per cycle per sample of the narrowest transition:
// Kaiser's estimate, read the other way. A first guess at the slope, until two designs tell it.
double SlopeGuessDb(const Requirements& requirements) {
    const double cycles = NarrowestTransition(requirements) / (2 * std::numbers::pi);
    return std::isfinite(cycles) ? -14.6 * cycles : -1.0;
}

// "the requirements need about 52000 taps, more than the longest design (32767)"
std::string NeedsMoreThanLongest(int needed, int longest) {
    return "the requirements need about " + std::to_string(needed) +
           " taps, more than the longest design (" + std::to_string(longest) + ")";
}

RequirementsDesign Run(const Requirements& requirements, const Method& method,
                       const Progress& progress) {
    Search search(requirements, method, progress);
    // An estimate well beyond the longest design is refused before any work: the estimates
    // are good to a few percent.
    const int needed = method.estimate(requirements);
    if (needed > method.longest + method.longest / 4)
        return Unmade(DesignStatus::refused, NeedsMoreThanLongest(needed, method.longest));
    const int estimate = std::clamp(needed, 1, method.longest);
    const double slope = SlopeGuessDb(requirements);
    const auto failedAt = [](const Attempt* attempt) {
        return Unmade(attempt->design.status, attempt->design.message);
    };
    // The parity of the estimate first, where the bands allow it; then the other one, below
    // the first one's answer.
    const bool oddFirst = estimate % 2 != 0 || !search.Allowed(Search::OfParityAtOrAbove(estimate, false));
    ParitySearch first(search, oddFirst, 0, slope);
    const int found = first.From(estimate);
    if (found < 0)
        return failedAt(first.Failure());
    if (found == 0)
        return Unmade(DesignStatus::failed,
                      "the requirements need more taps than the longest design");
    int answer = found;
    std::vector<int> shorter;
    if (first.Misses() > 0)
        shorter.push_back(first.Misses());
    if (search.Allowed(found - 1)) {
        ParitySearch second(search, !oddFirst, found, slope);
        const int other = second.From(found - 1);
        if (other < 0)
            return failedAt(second.Failure());
        if (other > 0) {
            answer = other;
            shorter.clear();
            if (second.Misses() > 0)
                shorter.push_back(second.Misses());
            // The first parity's lengths below the answer miss, the nearest one shown.
            if (answer - 1 >= 1 && search.Allowed(answer - 1))
                shorter.push_back(answer - 1);
        } else if (second.Misses() > 0) {
            shorter.push_back(second.Misses());
        }
    }
    RequirementsDesign design = Take(search.Try(answer), requirements, method);
    std::sort(shorter.rbegin(), shorter.rend());
    for (int taps : shorter) {
        const Attempt& attempt = search.Try(taps);
        if (!Usable(attempt))
            return failedAt(&attempt);
        design.report.shorter.push_back({taps, attempt.design.report.deviations});
    }
    design.report.designs = search.Designs();
    return design;
}

// work() for requirements that pass CheckTolerances, as a refusal otherwise, and as a failure
// where memory runs short.
template <class Work>
RequirementsDesign Checked(const Requirements& requirements, const Work& work) {
    if (auto problem = CheckTolerances(requirements))
        return Unmade(DesignStatus::refused, problem->text);
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return Unmade(DesignStatus::failed, "not enough memory for the design");
    }
}

} // namespace

RequirementsDesign DesignAtLength(const Requirements& requirements, const Method& method,
                                  int taps, const Progress& progress) {
    return Checked(requirements, [&] {
        Search search(requirements, method, progress);
        const Attempt& attempt = search.Try(taps);
        if (!Usable(attempt))
            return Unmade(attempt.design.status, attempt.design.message);
        RequirementsDesign design = Take(attempt, requirements, method);
        design.report.designs = 1;
        return design;
    });
}

RequirementsDesign DesignFewestTaps(const Requirements& requirements, const Method& method,
                                    const Progress& progress) {
    if (!method.Searches())
        return Unmade(DesignStatus::refused, "this method designs only the length it is given");
    return Checked(requirements, [&] { return Run(requirements, method, progress); });
}

} // namespace taplore
