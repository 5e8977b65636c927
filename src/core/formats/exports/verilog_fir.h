#pragma once
// A synthesizable Verilog filter computing what the bit-true model computes, and a test bench
// that feeds it a file of input integers and compares every output with a file of the model's.

#include "core/fixed/bit_true.h"
#include "core/formats/exports/export.h"
#include "core/formats/fixed_point.h"

#include <string>

namespace taplore {

// Module taplore_fir: clk, ce, x (the input's bits), y (the output's bits); the widths, the
// accumulator, overflow and rounding as parameters with the formats' values as defaults.
std::string WriteVerilogFir(const FixedPointTaps& taps, const BitTrueFormats& formats);

// Module taplore_fir_tb, for the taplore_fir of these taps: parameters STIMULUS and EXPECTED
// name files of one integer a line. Prints "N samples compared, D differences", and the first
// difference when there is one.
std::string WriteVerilogTestbench(const FixedPointTaps& taps, const BitTrueFormats& formats);

// The export table's writers: the taps quantised and input.arithmetic with the taps' fraction.
std::string WriteVerilogFirExport(const ExportInput& input);
std::string WriteVerilogTestbenchExport(const ExportInput& input);

} // namespace taplore
