#include "core/analysis/log_magnitude.h"

#include <algorithm>
#include <cmath>

#include "core/analysis/fft.h"
#include "core/io/memory.h"

int ComputeLevelsDb(const double* coef, int count, SpectrumLevels& levelsDb) {
    // A negative count is refused too: zero-padding from it would write before the array.
    if (count < 0 || count > kSpectrumPoints)
        return -1;
    // Zero-filled, so the taps arrive already padded to the transform length.
    const auto work = mem::AllocateArray<Complex>(kSpectrumPoints);
    if (!work)
        return -1;
    for (int i = 0; i < count; ++i)
        work[i] = {coef[i], 0.0};
    if (FFT(work.get(), kSpectrumPoints) != 0)
        return -1;
    for (int k = 0; k < kSpectrumBins; ++k) {
        const Complex bin = work[k];
        levelsDb[k] = 10.0 * std::log10(bin.re * bin.re + bin.im * bin.im);
    }
    return kSpectrumBins;
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
