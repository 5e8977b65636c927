#pragma once
// Expected coefficient files, worked out here from the window-method formulas and printf,
// independently of the program's own designer and number formatting.

#include <string>
#include <vector>

namespace e2e {

// The Hamming-windowed taps for an order and two normalised cutoffs (1 = half the rate).
// Cutoffs that select no band type give zeros (the program zero-fills unwritten taps).
std::vector<double> ReferenceTaps(int order, double f1, double f2);

// A slider's label: "%8.1f" of pos/1000 of half the rate.
std::string ReferenceLabel(int pos, double rate);

// The normalised cutoff Calculate derives from a label text and the rate.
double NormalisedCutoff(const std::string& label, double rate);

// The taps designed from the labels of two slider positions at a rate.
std::vector<double> ReferenceTapsForSliders(int order, int lowPos, int highPos, double rate);

// The line a tap is saved as: printf's "%f", with "nan" for not-a-number whatever its sign.
std::string FormatTap(double value);

} // namespace e2e
