#include "core/design/fewest_taps.h"

#include "core/design/band_measure.h"
#include "core/design/requirements_design.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// The largest gain a pass band asks: 1, or a sloped band's higher end.
double HighestPassGain(const Requirements& requirements) {
    double gain = 1.0;
    for (const Band& band : requirements.bands)
        if (band.relative)
            gain = std::max({gain, band.gain, EndGain(band)});
    return gain;
}

// The most a pass/stop design's response may reach anywhere: 1 + the largest pass-band
// deviation allowed, or a sloped band's higher end that much above it where it is higher.
double UpperTolerance(const Requirements& requirements) {
    double deviation = 0.0, upper = 0.0;
    for (const Band& band : requirements.bands)
        if (band.relative)
            upper = std::max(upper, std::max(band.gain, EndGain(band)) *
                                        (1.0 + AllowedDeviation(requirements, band)));
        else if (IsPassBand(band))
            deviation = std::max(deviation, AllowedDeviation(requirements, band));
    return std::max(upper, 1.0 + deviation);
}

bool Usable(const Attempt& attempt) {
    return HasTaps(attempt.design.status);
}

bool Missed(const Attempt& attempt) {
    return attempt.design.status == DesignStatus::missed;
}

// A weighted deviation above 1 misses the tolerances; this far above it, no grid a design is
// measured on can hide it (the dense grid's peaks lie within 3e-4 of the true ones).
constexpr double kSurelyMisses = 1.001;

// Whether the weighted deviation an exchange levels is the measured one over its tolerance:
// not for differentiators, whose errors are weighed relative to the gain asked, nor for gains
// that slope.
bool WeighsAsMeasured(const Requirements& requirements) {
    return requirements.kind != ResponseKind::differentiator &&
           std::all_of(requirements.bands.begin(), requirements.bands.end(),
                       [](const Band& band) { return EndGain(band) == band.gain; });
}

// How far a design is from its tolerances, in dB: 20 log10 of the largest ratio of a band's
// deviation to its allowed one. At most 0 where every band is met; it falls about linearly with
// the length, which is what the search predicts from.
double ExcessDb(const std::vector<double>& deviations, const Requirements& requirements) {
    double ratio = 0.0;
    for (std::size_t i = 0; i < deviations.size(); ++i)
        ratio =
            std::max(ratio, deviations[i] / AllowedDeviation(requirements, requirements.bands[i]));
    return 20.0 * std::log10(ratio);
}

class Search {
public:
    Search(const Requirements& r, const Method& method, const Progress& progress,
           const SearchSteps& steps = {})
        : m_requirements(r), m_weighted(WeightedByTolerance(r)), m_method(method),
          m_progress(progress), m_steps(steps), m_limit(UpperTolerance(r)),
          m_above(m_limit - HighestPassGain(r)), m_mayMiss(WeighsAsMeasured(r)) {}

    bool Allowed(int taps) const {
        return taps >= 1 && taps <= m_method.longest && !SymmetryProblem(m_requirements, taps);
    }

    // Designed once per length, then remembered; each parity starts from its last design.
    // orMissed: the search only asks whether the length meets, and a design may end as soon as
    // it is known to miss; a length so ended is designed again when its taps are wanted.
    const Attempt& Try(int taps, bool orMissed = false) {
        auto [at, fresh] = m_attempts.try_emplace(taps);
        if (fresh || (Missed(at->second) && !orMissed)) {
            ++m_designs;
            if (m_steps)
                m_steps({taps, m_designs, std::max(m_aboutDesigns, m_designs)});
            at->second = Design(taps, orMissed && m_mayMiss ? kSurelyMisses : kNoBound);
        }
        return at->second;
    }

    // About how many designs the whole search takes, as the steps are told.
    void Expect(int designs) { m_aboutDesigns = designs; }

    int Designs() const { return m_designs; }
    const Method& Designer() const { return m_method; }
    const Requirements& Asked() const { return m_requirements; }

private:
    static constexpr double kNoBound = std::numeric_limits<double>::infinity();

    Attempt Design(int taps, double missesAbove) {
        std::vector<double>& start = m_starts[taps % 2];
        // A parity's first design starts from the other parity's extrema, where there are any.
        if (start.empty())
            start = m_starts[1 - taps % 2];
        // The share of the search done: as many designs again as have been made, at least two.
        const int made = m_designs - 1;
        const Progress progress = [this, made](double done) {
            const double share = std::max(m_done, (made + done) / (2.0 * made + 2.0));
            m_done = share;
            return !m_progress || m_progress(share);
        };
        // A design whose response swells above the pass bands between them is redesigned with
        // that transition held: a weak band there keeps it within the pass bands' tolerance.
        // Then the next transition that swells is held too. A length starts from the
        // transitions the lengths before it held; where the plain design fails (a response
        // swelling beyond what doubles hold), every transition is held.
        std::vector<int> held = m_held;
        const auto design = [&] {
            Attempt made =
                held.empty()
                    ? Measured(m_method.design({m_weighted, taps, progress, &start, missesAbove}))
                    : Measured(m_method.design(
                          {WithHeld(held), taps, progress, &m_heldStarts[taps % 2]}));
            for (int i : held)
                made.design.report.held.push_back(
                    {m_requirements.bands[i - 1].highHz, m_requirements.bands[i].lowHz});
            return made;
        };
        Attempt attempt = design();
        if (Missed(attempt))
            return attempt;
        if (!Usable(attempt) && m_method.bands && held.size() + 1 < m_requirements.bands.size()) {
            held.clear();
            for (int i = 1; i < static_cast<int>(m_requirements.bands.size()); ++i)
                held.push_back(i);
            attempt = design();
        }
        while (Usable(attempt) && m_method.bands) {
            const Peak peak = PeakOutsideBands(attempt.design.taps, m_requirements);
            if (peak.magnitude <= m_limit)
                break;
            const int transition = TransitionAt(peak.hz);
            if (transition == 0 || std::find(held.begin(), held.end(), transition) != held.end()) {
                attempt.meets = false; // beyond the bands, or still swelling where held
                break;
            }
            held.push_back(transition);
            std::sort(held.begin(), held.end());
            attempt = design();
        }
        if (Usable(attempt))
            m_held = held;
        return attempt;
    }

    Attempt Measured(RequirementsDesign design) const {
        Attempt attempt;
        attempt.design = std::move(design);
        if (Usable(attempt)) {
            attempt.design.report.deviations =
                MeasureDeviations(attempt.design.taps, m_requirements);
            attempt.meets = MeetsTolerances(attempt.design.report.deviations, m_requirements);
            attempt.excessDb = ExcessDb(attempt.design.report.deviations, m_requirements);
        } else {
            // A design that ended on missing knows only a lower bound, which tells no slope.
            attempt.excessDb = std::numeric_limits<double>::quiet_NaN();
        }
        return attempt;
    }

    // The band i whose transition from band i - 1 holds hz, or 0.
    int TransitionAt(double hz) const {
        const std::vector<Band>& bands = m_requirements.bands;
        for (std::size_t i = 1; i < bands.size(); ++i)
            if (hz > bands[i - 1].highHz && hz < bands[i].lowHz)
                return static_cast<int>(i);
        return 0;
    }

    // The weighted requirements with a weak band inside each transition held, over its middle
    // three quarters: it asks the mean of its neighbours' gains at its edges within their half
    // difference plus the pass bands' tolerance, so that at the weighted deviation 1 that
    // meets, the response there stays between -dp and 1 + dp (the highest gain + its
    // tolerance, where a sloped band is higher).
    Requirements WithHeld(const std::vector<int>& held) const {
        Requirements r = m_weighted;
        r.bands.clear();
        for (std::size_t i = 0; i < m_weighted.bands.size(); ++i) {
            if (std::find(held.begin(), held.end(), static_cast<int>(i)) != held.end()) {
                const Band& below = m_weighted.bands[i - 1];
                const Band& above = m_weighted.bands[i];
                const double width = above.lowHz - below.highHz;
                const double end = EndGain(below);
                const double half = std::fabs(end - above.gain) / 2 + m_above;
                r.bands.push_back({below.highHz + width / 8, above.lowHz - width / 8,
                                   (end + above.gain) / 2, 1.0 / half});
            }
            r.bands.push_back(m_weighted.bands[i]);
        }
        return r;
    }

    const Requirements& m_requirements;
    Requirements m_weighted;
    const Method& m_method;
    const Progress& m_progress;
    SearchSteps m_steps;
    int m_aboutDesigns = 0;
    std::map<int, Attempt> m_attempts;
    std::vector<double> m_starts[2];     // the extremal frequencies of the last even and odd design
    std::vector<double> m_heldStarts[2]; // and of the last design with transitions held
    std::vector<int> m_held;             // the transitions the last usable design held
    double m_limit;                      // the pass bands' upper tolerance, 1 + dp
    double m_above;                      // how far that lies above the highest gain asked
    bool m_mayMiss;                      // whether a design may end once it surely misses
    int m_designs = 0;
    double m_done = 0.0;
};

// The design an attempt made, as the result hands it out, its report completed.
RequirementsDesign Take(const Attempt& attempt, const Requirements& requirements,
                        const Method& method) {
    RequirementsDesign design = attempt.design;
    CompleteReport(design, requirements, method);
    return design;
}

// The excess falls by about 14.6 dB per tap per cycle per sample of the narrowest transition:
// Kaiser's estimate, read the other way. A first guess at the slope, until two designs tell it.
double SlopeGuessDb(const Requirements& requirements) {
    const double cycles = NarrowestTransition(requirements) / (2 * std::numbers::pi);
    return std::isfinite(cycles) ? -14.6 * cycles : -1.0;
}

// The fewest taps over both parities: the lengths where the excess line crosses 0 designed
// first, then the lengths just below the best that meets, until every shorter length is known
// to miss. Within a parity a longer design is never worse, so one miss stands for every
// shorter length of its parity, and the answer is the one designing every length would give.
class Fewest {
public:
    Fewest(Search& search, int longest, double slopeDb)
        : m_search(search), m_longest(longest), m_slopeDb(slopeDb) {}

    // The answer, 0 where no length up to the longest meets, -1 where a design failed.
    int From(int first) {
        for (int n = AllowedAtOrAbove(first); n > 0; n = Next()) {
            m_search.Expect(AboutDesigns());
            // A length below the two under the best that meets is not reported: that it
            // misses is all the search needs of it.
            const Attempt& attempt = m_search.Try(n, m_meets > 0 && n < m_meets - 2);
            if (!Usable(attempt) && !Missed(attempt)) {
                m_failed = &attempt;
                return -1;
            }
            Learn(n, attempt);
            if (m_meets > 0 && Undecided().empty())
                return m_meets;
        }
        return 0;
    }

    const Attempt& Failure() const { return *m_failed; }

    // The next shorter length of each parity, which misses, longest first.
    std::vector<int> Shorter() const {
        std::vector<int> shorter;
        for (int n = m_meets - 1; n >= 1 && n >= m_meets - 2; --n)
            if (m_search.Allowed(n))
                shorter.push_back(n);
        return shorter;
    }

private:
    int AllowedAtOrAbove(double taps) const {
        for (int n = static_cast<int>(std::clamp(std::ceil(taps), 1.0, double(m_longest)));
             n <= m_longest; ++n)
            if (m_search.Allowed(n))
                return n;
        return 0;
    }

    // The largest miss known of n's parity.
    int& MissesOf(int n) { return m_misses[n % 2]; }
    int MissesOf(int n) const { return m_misses[n % 2]; }

    void Learn(int n, const Attempt& attempt) {
        if (attempt.meets)
            m_meets = m_meets == 0 ? n : std::min(m_meets, n);
        else
            MissesOf(n) = std::max(MissesOf(n), n);
        // The slope through the last two designs, where they tell one.
        if (m_lastTaps > 0 && n != m_lastTaps && std::isfinite(attempt.excessDb) &&
            std::isfinite(m_lastExcessDb)) {
            const double slope = (attempt.excessDb - m_lastExcessDb) / (n - m_lastTaps);
            m_improving = slope < 0.0;
            if (m_improving)
                m_slopeDb = slope;
        }
        if (std::isfinite(attempt.excessDb)) {
            m_lastTaps = n;
            m_lastExcessDb = attempt.excessDb;
        }
    }

    // The lengths just below the best that meets whose parity has no miss at or above them:
    // the ones still to be decided, the best's own parity first. Two taps shorter starts from a
    // design of its parity and, where it meets, leaves the length between undecided no more.
    std::vector<int> Undecided() const {
        std::vector<int> undecided;
        for (int n : {m_meets - 2, m_meets - 1})
            if (n >= 1 && m_search.Allowed(n) && MissesOf(n) < n)
                undecided.push_back(n);
        return undecided;
    }

    // About how many designs the search takes, the next one included: those made and, until a
    // length meets, it and the two shorter lengths that must miss; then the lengths undecided.
    int AboutDesigns() const {
        const int ahead = m_meets == 0 ? 3 : static_cast<int>(Undecided().size());
        return m_search.Designs() + std::max(ahead, 1);
    }

    double Predicted() const { return m_lastTaps - m_lastExcessDb / m_slopeDb; }

    int Next() {
        const double predicted = Predicted();
        if (m_meets == 0) {
            // Only misses known: beyond the longest miss, by growing steps where longer
            // designs did not come closer and the line says nothing.
            const int misses = std::max(m_misses[0], m_misses[1]);
            if (misses >= m_longest)
                return 0;
            if (!m_improving)
                m_step *= 2;
            const double at = std::isfinite(predicted) ? predicted : misses + m_step;
            return AllowedAtOrAbove(std::max(at, double(misses + (m_improving ? 1 : m_step))));
        }
        // The first undecided length, or, where the line puts the answer well below it (more than
        // four taps: near the answer it is good to a few), the length at the line (halving where
        // the line points at a length known to miss, or after a few jumps that failed to narrow
        // it).
        const int n = Undecided().front();
        if (!std::isfinite(predicted) || predicted >= n - 4 || Lowest(n) > n - 2)
            return n;
        // A line steep enough points below the first length, which is no length to design.
        int at = static_cast<int>(std::ceil(std::max(predicted, 1.0)));
        if (++m_jumps > 3 || at < Lowest(at))
            at = (Lowest(n) + n) / 2;
        // Of the two lengths from there, the first that may be designed (a high-pass has odd
        // lengths only).
        for (int parity : {at, at + 1}) {
            const int from = std::max(parity, Lowest(parity));
            if (from <= n - 2 && m_search.Allowed(from))
                return from;
        }
        return n;
    }

    // The shortest length of n's parity worth designing: above its longest miss and, as the
    // two parities meet within a few taps of each other, not below the other's longest miss.
    int Lowest(int n) const { return std::max(MissesOf(n) + 2, MissesOf(n + 1) + 1); }

    Search& m_search;
    int m_longest;
    double m_slopeDb;
    int m_meets = 0;
    int m_misses[2] = {0, 0}; // the largest even and odd lengths known to miss
    int m_lastTaps = 0;
    double m_lastExcessDb = 0.0;
    int m_step = 1, m_jumps = 0;
    bool m_improving = true;
    const Attempt* m_failed = nullptr;
};

RequirementsDesign Run(const Requirements& requirements, const Method& method,
                       const Progress& progress, const SearchSteps& steps) {
    Search search(requirements, method, progress, steps);
    // An estimate well beyond the longest design is refused before any work: the estimates
    // are good to a few percent.
    const int needed = method.estimate(requirements);
    if (needed > method.longest + method.longest / 4)
        return Unmade(DesignStatus::refused, NeedsMoreThanLongest(needed, method.longest));
    Fewest fewest(search, method.longest, SlopeGuessDb(requirements));
    const int answer = fewest.From(std::clamp(needed, 1, method.longest));
    if (answer < 0)
        return Unmade(fewest.Failure().design.status, fewest.Failure().design.message);
    if (answer == 0)
        return Unmade(DesignStatus::failed,
                      "the requirements need more taps than the longest design");
    RequirementsDesign design = Take(search.Try(answer), requirements, method);
    for (int taps : fewest.Shorter()) {
        const Attempt& attempt = search.Try(taps);
        if (!Usable(attempt))
            return Unmade(attempt.design.status, attempt.design.message);
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

std::string NeedsMoreThanLongest(int needed, int longest) {
    return "the requirements need about " + std::to_string(needed) +
           " taps, more than the longest design (" + std::to_string(longest) + ")";
}

RequirementsDesign DesignAtLength(const Requirements& requirements, const Method& method, int taps,
                                  const Progress& progress) {
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
                                    const Progress& progress, const SearchSteps& steps) {
    if (!method.Searches())
        return Unmade(DesignStatus::refused, "this method designs only the length it is given");
    return Checked(requirements, [&] { return Run(requirements, method, progress, steps); });
}

} // namespace taplore
