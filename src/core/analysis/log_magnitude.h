#pragma once
// The filter's log-magnitude response: taps zero-padded to 1024 points, bins 0 ... 511 in dB.

#include <array>
#include <memory>

constexpr int kSpectrumPoints = 1024;
constexpr int kSpectrumBins = kSpectrumPoints / 2;

using SpectrumLevels = std::array<double, kSpectrumBins>;

// Fills levelsDb with 10*log10(power) of every bin, DC included.
// Returns 512, or -1 when count is outside 0 ... 1024 or the work array cannot be allocated.
int ComputeLevelsDb(const double* coef, int count, SpectrumLevels& levelsDb);

// The plot's levels: as ComputeLevelsDb, with bin 0 set to 0.0 (it is never drawn). magDb and
// nBins belong to the caller: the array is allocated by the first successful call and reused.
// Returns nBins (512), or -1 when count is outside 0 ... 1024 or an allocation fails.
int ComputeLogMagnitude(const double* coef, int count, std::unique_ptr<double[]>& magDb,
                        int& nBins);
