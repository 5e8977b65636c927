#pragma once
// The filter's log-magnitude response: taps zero-padded to 1024 points, bins 0 ... 511 in dB.

#include <array>
#include <memory>
#include <vector>

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

// The transform a response of count taps takes: the dialog's 1024 points, or for longer taps
// the power of two at or above count.
int ResponsePoints(int count);

// As ComputeLevelsDb over a transform of `points` points (a power of two at least
// kSpectrumPoints and count): bins 0 ... points/2 - 1. For 1024 points the same levels, bit for
// bit. False when points is not such a length or memory is short.
bool ComputeLevelsDb(const double* coef, int count, int points, std::vector<double>& levelsDb);
