#pragma once
// Window-method design of linear-phase FIR filters (Hamming window).

#include <memory>

// Designs into the coefficient buffer (pCoef, nCoef): releases the old taps, allocates
// the new ones, and fills them for the band type the cutoffs select.
// Returns the tap count, or -1 when the taps cannot be allocated (buffer left empty).
int DesignFilter(std::shared_ptr<double[]>& pCoef, int& nCoef, int order, double f1, double f2);
