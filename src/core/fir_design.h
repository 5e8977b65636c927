#pragma once
// Window-method design of linear-phase FIR filters (Hamming window).

#include <memory>

// From this many taps on, a design is shared among all hardware threads.
constexpr int kParallelDesignTaps = 32'768;

// Designs into the coefficient buffer (pCoef, nCoef): releases the old taps, allocates
// the new ones, and fills them for the band type the cutoffs select.
// threads: how many threads share the work; 0 chooses one below kParallelDesignTaps taps and
// every hardware thread from there on. The taps are the same bits whatever the count.
// Returns the tap count, or -1 when the taps cannot be allocated (buffer left empty).
int DesignFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2,
                 unsigned threads = 0);
