#pragma once
// A synthesizable VHDL-2008 filter computing what the bit-true model computes, and a test bench
// that feeds it a file of input integers and compares every output with a file of the model's.

#include "core/fixed/bit_true.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"

#include <string>

namespace taplore {

// Entity taplore_fir: clk, ce, x (the input's bits), y (the output's bits); the widths, the
// accumulator, overflow and rounding as generics with the formats' values as defaults.
std::string WriteVhdlFir(const FixedPointTaps& taps, const BitTrueFormats& formats);

// Entity taplore_fir_tb, for the taplore_fir of these taps: generics STIMULUS and EXPECTED name
// files of one integer a line. Prints "N samples compared, D differences", and the first
// difference when there is one.
std::string WriteVhdlTestbench(const FixedPointTaps& taps, const BitTrueFormats& formats);

// The export table's writers: the taps quantised and input.arithmetic with the taps' fraction.
std::string WriteVhdlFirExport(const ExportInput& input);
std::string WriteVhdlTestbenchExport(const ExportInput& input);

} // namespace taplore
