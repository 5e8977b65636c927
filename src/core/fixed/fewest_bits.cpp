#include "core/fixed/fewest_bits.h"

#include "core/design/band_measure.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace taplore {

namespace {

constexpr double kPi = std::numbers::pi;
// The band measurement's grid: bins of a transform of at least 32 points a tap.
constexpr int kPointsPerTap = 32;
constexpr int kMinimumTransform = 1024;
// Each sweep tries every pair once; a local optimum is reached well before this many.
constexpr int kMaxSweeps = 64;

// The points of the bands' grid, each with the magnitude it asks and its band's tolerance.
struct GridPoint {
    double omega = 0.0;
    double asked = 0.0;
    double inverseAllowed = 0.0;
};

std::vector<GridPoint> BandGrid(std::size_t tapCount, const Requirements& requirements) {
    const auto length = static_cast<int>(std::bit_ceil(static_cast<unsigned>(
        std::max<std::size_t>(kMinimumTransform, 2 * kPointsPerTap * tapCount))));
    std::vector<GridPoint> grid;
    for (const Band& band : requirements.bands) {
        const double low = kPi * band.lowHz / (requirements.rate / 2);
        const double high = kPi * band.highHz / (requirements.rate / 2);
        const double inverse = 1.0 / AllowedDeviation(requirements, band);
        const auto add = [&](double omega) {
            const double hz = omega / kPi * (requirements.rate / 2);
            const double asked = std::fabs(GainAt(band, hz));
            // A relative band's tolerance scales with its gain.
            grid.push_back({omega, asked, band.relative ? inverse / asked : inverse});
        };
        add(low);
        add(high);
        for (int m = static_cast<int>(std::ceil(low / (2 * kPi) * length)); m <= length / 2; ++m) {
            const double omega = 2 * kPi * m / length;
            if (omega > high)
                break;
            add(omega);
        }
    }
    return grid;
}

// The largest relative deviation over the grid, and the sum of their squares.
struct Score {
    double largest = 0.0;
    double squares = 0.0;
    bool operator<(const Score& other) const {
        return largest < other.largest || (largest == other.largest && squares < other.squares);
    }
};

// Linear-phase taps as a sum of real basis functions of the frequency, one a pair: the
// magnitude response is |A(omega)|, A = sum over pairs of q_k / 2^F * basis_k(omega).
class PairSearch {
public:
    PairSearch(const FixedPointTaps& start, bool antisymmetric, std::vector<GridPoint> grid)
        : m_taps(start), m_anti(antisymmetric), m_grid(std::move(grid)),
          m_pairs((start.values.size() + 1) / 2), m_step(1.0 / QFormatScale(start.format)) {
        const std::size_t n = m_taps.values.size();
        const double middle = (static_cast<double>(n) - 1) / 2;
        m_basis.resize(m_pairs * m_grid.size());
        m_amplitude.assign(m_grid.size(), 0.0);
        for (std::size_t k = 0; k < m_pairs; ++k) {
            const bool centre = 2 * k + 1 == n;
            for (std::size_t j = 0; j < m_grid.size(); ++j) {
                const double angle = (middle - static_cast<double>(k)) * m_grid[j].omega;
                const double basis =
                    centre ? 1.0 : 2 * (m_anti ? std::sin(angle) : std::cos(angle));
                m_basis[k * m_grid.size() + j] = basis;
                m_amplitude[j] += basis * m_taps.values[k] * m_step;
            }
        }
    }

    FixedPointTaps Run() {
        Score best = ScoreWith(0, 0);
        for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
            bool moved = false;
            for (std::size_t k = 0; k < m_pairs; ++k)
                for (int step : {1, -1})
                    moved = TryStep(k, step, best) || moved;
            if (!moved)
                break;
        }
        return m_taps;
    }

private:
    bool Movable(std::size_t k, int step) const {
        const std::int64_t value = std::int64_t{m_taps.values[k]} + step;
        const std::size_t n = m_taps.values.size();
        // An antisymmetric centre stays 0; its mirror must stay in range too.
        if (m_anti && 2 * k + 1 == n)
            return false;
        const std::int64_t lowest = m_anti ? -m_taps.format.Largest() : m_taps.format.Smallest();
        return value >= lowest && value <= m_taps.format.Largest();
    }

    Score ScoreWith(std::size_t k, int step) const {
        Score score;
        const double delta = step * m_step;
        const double* basis = m_basis.data() + k * m_grid.size();
        for (std::size_t j = 0; j < m_grid.size(); ++j) {
            const double a = m_amplitude[j] + delta * basis[j];
            const double e = std::fabs(std::fabs(a) - m_grid[j].asked) * m_grid[j].inverseAllowed;
            score.largest = std::max(score.largest, e);
            score.squares += e * e;
        }
        return score;
    }

    bool TryStep(std::size_t k, int step, Score& best) {
        if (!Movable(k, step))
            return false;
        const Score score = ScoreWith(k, step);
        if (!(score < best))
            return false;
        best = score;
        const double delta = step * m_step;
        for (std::size_t j = 0; j < m_grid.size(); ++j)
            m_amplitude[j] += delta * m_basis[k * m_grid.size() + j];
        const std::size_t n = m_taps.values.size();
        m_taps.values[k] += step;
        m_taps.values[n - 1 - k] = m_anti && 2 * k + 1 != n ? -m_taps.values[k] : m_taps.values[k];
        return true;
    }

    FixedPointTaps m_taps;
    bool m_anti;
    std::vector<GridPoint> m_grid;
    std::size_t m_pairs;
    double m_step;
    std::vector<double> m_basis; // pair-major: m_grid.size() values a pair
    std::vector<double> m_amplitude;
};

bool Mirrored(const std::vector<std::int32_t>& q, bool anti) {
    const std::size_t n = q.size();
    for (std::size_t k = 0; k < n; ++k)
        if (std::int64_t{q[k]} != (anti ? -std::int64_t{q[n - 1 - k]} : std::int64_t{q[n - 1 - k]}))
            return false;
    return true;
}

FixedPointTaps Round(const std::vector<double>& taps, QFormat format) {
    return Quantise(taps.data(), static_cast<int>(taps.size()), format);
}

} // namespace

QFormat FinestFormat(const std::vector<double>& taps, int bits) {
    double largest = 0.0;
    for (double h : taps)
        largest = std::max(largest, std::fabs(h));
    if (largest == 0.0)
        return {bits, QFormat::kMaxFraction};
    const QFormat any{bits, 0};
    int fraction = std::clamp(bits - 1 - std::ilogb(largest), 0, QFormat::kMaxFraction);
    while (fraction > 0 && std::round(std::ldexp(largest, fraction)) > any.Largest())
        --fraction;
    return {bits, fraction};
}

bool MeetsQuantised(const FixedPointTaps& taps, const Requirements& requirements) {
    return MeetsTolerances(MeasureDeviations(Dequantise(taps), requirements), requirements);
}

FixedPointTaps SearchRoundings(const std::vector<double>& taps, const Requirements& requirements,
                               QFormat format) {
    FixedPointTaps rounded = Round(taps, format);
    for (bool anti : {false, true})
        if (Mirrored(rounded.values, anti) && !rounded.values.empty()) {
            FixedPointTaps searched =
                PairSearch(rounded, anti, BandGrid(taps.size(), requirements)).Run();
            searched.searched = true;
            return searched;
        }
    return rounded;
}

FixedPointTaps QuantiseTaps(std::span<const double> taps, QFormat format,
                            const Requirements* searchedTo) {
    if (!searchedTo)
        return Quantise(taps.data(), static_cast<int>(taps.size()), format);
    return SearchRoundings(std::vector<double>(taps.begin(), taps.end()), *searchedTo, format);
}

FixedPointTaps QuantiseToRequirements(const std::vector<double>& taps,
                                      const Requirements& requirements, int bits) {
    const QFormat format = FinestFormat(taps, bits);
    FixedPointTaps searched = SearchRoundings(taps, requirements, format);
    if (MeetsQuantised(searched, requirements))
        return searched;
    return Round(taps, format);
}

std::optional<FewestBits> FindFewestBits(const std::vector<double>& taps,
                                         const Requirements& requirements,
                                         const Progress& progress) {
    // Asked before each width: one width's search is the longest wait for a stop.
    const auto stopped = [&progress](int bits) {
        return progress && !progress(double(bits) / QFormat::kMaxBits);
    };
    FewestBits found;
    for (int bits = QFormat::kMinBits; bits <= QFormat::kMaxBits && found.plainBits == 0; ++bits) {
        if (stopped(bits))
            return std::nullopt;
        if (MeetsQuantised(Round(taps, FinestFormat(taps, bits)), requirements))
            found.plainBits = bits;
    }
    // The searched taps of plain rounding's width meet at the latest: no need to look further.
    const int widest = found.plainBits == 0 ? QFormat::kMaxBits : found.plainBits;
    for (int bits = QFormat::kMinBits; bits <= widest; ++bits) {
        if (stopped(bits))
            return std::nullopt;
        found.taps = QuantiseToRequirements(taps, requirements, bits);
        if (MeetsQuantised(found.taps, requirements)) {
            found.deviations = MeasureDeviations(Dequantise(found.taps), requirements);
            return found;
        }
    }
    return std::nullopt;
}

} // namespace taplore
