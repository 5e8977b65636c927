#pragma once
// Window-method design of linear-phase FIR filters (Hamming window).

#include "core/progress.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

enum class BandType { none, lowPass, highPass, bandPass, bandStop };

// The band type two normalised cutoffs select (0 = DC, 1 = half the rate): the first row of
// the band table whose condition holds, or none.
BandType SelectBand(double f1, double f2);

// The band type in words, as the comments of exported taps and the plot's summary name it:
// "low-pass", "high-pass", "band-pass", "band-stop" or "no band type matched".
std::string_view BandTypeName(BandType type);

// A cutoff in Hz as Calculate hands it to the designer: divided by the rate, then doubled.
double NormalisedCutoff(double hz, double rate);

// What Calculate reads: the order, the sampling rate and the two cutoffs in Hz.
struct DesignRequest {
    int order = 0;
    double rate = 0.0;
    double lowHz = 0.0;
    double highHz = 0.0;
};

// The taps a design of this order has: the order made odd by adding one to an even order.
// Not positive for orders below 1 (-4 is even and gives -3).
std::int64_t TapsForOrder(int order);

// From this many taps on, a design is shared among all hardware threads. Measured on a 2-core
// machine (BM_DesignBandPassThreads), where starting a thread costs about 60 us: two threads
// lose 5-10% at 8,191 taps and gain about 25% at 12,287 and 40% at 16,383.
constexpr int kParallelDesignTaps = 16'384;

// Designs into the coefficient buffer (pCoef, nCoef): releases the old taps, allocates
// the new ones, and fills them for the band type the cutoffs select.
// threads: how many threads share the work; 0 chooses one below kParallelDesignTaps taps and
// every hardware thread from there on. The taps are the same bits whatever the count.
// progress, when given, follows the work and may stop it.
// Returns the tap count, -1 when the taps cannot be allocated, or kDesignStopped when progress
// stopped the design; on both failures the buffer is left empty.
constexpr int kDesignStopped = -2;
int DesignFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2,
                 unsigned threads = 0, const Progress& progress = {});

// w[k] of an n-tap window, k = 0 ... n-1.
using TapWindow = std::function<double(int k, int n)>;

// DesignFilter with window in place of the Hamming window: the same band types, ideal
// responses, spectral inversion and normalisation, so the same cutoff rules as the dialog.
int DesignFilterWindowed(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1,
                         double f2, const TapWindow& window, unsigned threads = 0,
                         const Progress& progress = {});

// The dialog's Hamming window at tap k of n, bit for bit as DesignFilter applies it.
double DialogHammingAt(int k, int n);
