#include "core/design/equiripple_start.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace taplore::equiripple {

namespace {

// The band a frequency of a shorter design falls in: the last one starting at or below it.
int BandOf(const Grid& grid, double omega) {
    int best = 0;
    for (int b = 0; b < static_cast<int>(grid.bandRange.size()); ++b)
        if (omega >= grid.nodes[grid.bandRange[b].first].omega)
            best = b;
    return best;
}

// Counts adding up to r + 1, each within its band's points.
void BalanceCounts(const Grid& grid, int r, std::vector<int>& counts) {
    const auto room = [&grid](int b) { return grid.bandRange[b].second - grid.bandRange[b].first; };
    for (int b = 0; b < static_cast<int>(counts.size()); ++b)
        counts[b] = std::min(counts[b], room(b));
    int total = 0;
    for (int c : counts)
        total += c;
    for (int b = 0; total != r + 1; b = (b + 1) % static_cast<int>(counts.size())) {
        if (total > r + 1 && counts[b] > 0) {
            --counts[b];
            --total;
        } else if (total < r + 1 && counts[b] < room(b)) {
            ++counts[b];
            ++total;
        }
    }
}

// How many of the r + 1 points each band takes. A band holds about one extremum at its edge
// and, beyond it, a number that grows in proportion to the length: that part is scaled, by the
// largest remainders, so that a narrow band of a long design gets its share to the point. Scaling
// the whole count gave a narrow pass band one extremum too many, which a deep design takes many
// exchanges to move to the stop band.
std::vector<int> ScaledCounts(const std::vector<std::vector<double>>& inBand, int r) {
    const std::size_t bands = inBand.size();
    std::vector<int> counts(bands);
    int edges = 0, growing = 0;
    for (std::size_t b = 0; b < bands; ++b) {
        counts[b] = inBand[b].empty() ? 0 : 1;
        edges += counts[b];
        growing += static_cast<int>(inBand[b].size()) - counts[b];
    }
    if (growing == 0)
        return counts;
    const double scale = double(r + 1 - edges) / growing;
    std::vector<std::pair<double, std::size_t>> remainders;
    int total = edges;
    for (std::size_t b = 0; b < bands; ++b) {
        const double share = (double(inBand[b].size()) - counts[b]) * scale;
        const double whole = std::floor(share);
        counts[b] += static_cast<int>(whole);
        total += static_cast<int>(whole);
        remainders.emplace_back(share - whole, b);
    }
    std::sort(remainders.begin(), remainders.end(), std::greater<>());
    for (std::size_t i = 0; total < r + 1 && i < remainders.size(); ++i, ++total)
        ++counts[remainders[i].second];
    return counts;
}

// The j-th of `count` frequencies spread along a band's old extremal frequencies (or
// evenly over the band where it had fewer than two).
double Resample(const Grid& grid, const std::vector<double>& old, int band, int j, int count) {
    const auto [first, last] = grid.bandRange[band];
    const double t = count > 1 ? double(j) / (count - 1) : 0.5;
    if (old.size() < 2) {
        const double low = grid.nodes[first].omega, high = grid.nodes[last - 1].omega;
        return low + t * (high - low);
    }
    const double at = t * double(old.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(at), old.size() - 2);
    return old[i] + (at - double(i)) * (old[i + 1] - old[i]);
}

int NearestPoint(const Grid& grid, int band, double omega) {
    const auto [first, last] = grid.bandRange[band];
    const auto begin = grid.nodes.begin();
    const auto it = std::lower_bound(begin + first, begin + last, omega,
                                     [](const Node& n, double w) { return n.omega < w; });
    int i = static_cast<int>(it - begin);
    if (i == last || (i > first && omega - grid.nodes[i - 1].omega < grid.nodes[i].omega - omega))
        --i;
    return i;
}

// Strictly increasing grid points, moved apart where two fell on one.
void Separate(const Grid& grid, std::vector<int>& reference) {
    const int n = static_cast<int>(reference.size());
    for (int k = 1; k < n; ++k)
        reference[k] = std::max(reference[k], reference[k - 1] + 1);
    reference[n - 1] = std::min(reference[n - 1], grid.Size() - 1);
    for (int k = n - 2; k >= 0; --k)
        reference[k] = std::min(reference[k], reference[k + 1] - 1);
}

} // namespace

std::vector<int> EvenReference(const Grid& grid, int r, int shift) {
    std::vector<int> reference(r + 1);
    const double spacing = double(grid.Size() - 1) / (r + shift);
    for (int k = 0; k <= r; ++k)
        reference[k] = static_cast<int>(std::lround(k * spacing));
    Separate(grid, reference);
    return reference;
}

// Placed along the shorter design's extrema by linear interpolation, then moved to the nearest
// grid points: the extrema of a longer design follow the same pattern, finer.
std::vector<int> ScaledReference(const Grid& grid, int r, const std::vector<double>& start) {
    const int bands = static_cast<int>(grid.bandRange.size());
    std::vector<std::vector<double>> inBand(bands);
    for (double omega : start)
        inBand[BandOf(grid, omega)].push_back(omega);
    std::vector<int> counts = ScaledCounts(inBand, r);
    BalanceCounts(grid, r, counts);
    std::vector<int> reference;
    for (int b = 0; b < bands; ++b)
        for (int j = 0; j < counts[b]; ++j)
            reference.push_back(NearestPoint(grid, b, Resample(grid, inBand[b], b, j, counts[b])));
    Separate(grid, reference);
    return reference;
}

} // namespace taplore::equiripple
