#include "core/analysis/log_magnitude.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "core/analysis/fft.h"
#include "core/io/memory.h"

namespace {

// 10 log10 of the power of bins 0 ... points/2 - 1 of the taps zero-padded to points, into
// levelsDb; false when the work array cannot be had or the transform fails.
bool LevelsInto(const double* coef, int count, int points, double* levelsDb) {
    // Zero-filled, so the taps arrive already padded to the transform length.
    const auto work = mem::AllocateArray<Complex>(points);
    if (!work)
        return false;
    for (int i = 0; i < count; ++i)
        work[i] = {coef[i], 0.0};
    if (FFT(work.get(), points) != 0)
        return false;
    for (int k = 0; k < points / 2; ++k) {
        const Complex bin = work[k];
        levelsDb[k] = 10.0 * std::log10(bin.re * bin.re + bin.im * bin.im);
    }
    return true;
}

} // namespace

int ComputeLevelsDb(const double* coef, int count, SpectrumLevels& levelsDb) {
    // A negative count is refused too: zero-padding from it would write before the array.
    if (count < 0 || count > kSpectrumPoints)
        return -1;
    return LevelsInto(coef, count, kSpectrumPoints, levelsDb.data()) ? kSpectrumBins : -1;
}

int ResponsePoints(int count) {
    return count <= kSpectrumPoints ? kSpectrumPoints
                                    : static_cast<int>(std::bit_ceil(static_cast<unsigned>(count)));
}

bool ComputeLevelsDb(const double* coef, int count, int points, std::vector<double>& levelsDb) {
    if (count < 0 || count > points || points < kSpectrumPoints ||
        !std::has_single_bit(unsigned(points)))
        return false;
    levelsDb.resize(points / 2);
    return LevelsInto(coef, count, points, levelsDb.data());
}

int ComputeLogMagnitude(const double* coef, int count, std::unique_ptr<double[]>& magDb,
                        int& nBins) {
    SpectrumLevels levels;
    if (ComputeLevelsDb(coef, count, levels) < 0)
        return -1;
    if (!magDb) {
        magDb = mem::AllocateArray<double>(kSpectrumBins);
        if (!magDb)
            return -1;
    }
    nBins = kSpectrumBins;
    std::copy(levels.begin(), levels.end(), magDb.get());
    magDb[0] = 0.0; // DC is never drawn
    return nBins;
}
