#pragma once
// The filter's log-magnitude response: taps zero-padded to 1024 points, bins 0 ... 511 in dB.

#include <memory>

constexpr int kSpectrumPoints = 1024;
constexpr int kSpectrumBins = kSpectrumPoints / 2;

// Fills magDb with 10*log10(power) of bins 0 ... 511 (bin 0 set to 0.0). magDb and nBins
// belong to the caller: the array is allocated by the first successful call and reused.
// Returns nBins (512), or -1 when count is outside 0 ... 1024 or an allocation fails.
int ComputeLogMagnitude(const double* coef, int count, std::unique_ptr<double[]>& magDb,
                        int& nBins);
