#pragma once
// What the VHDL and the Verilog filters share: the shape of their pipeline, the comments that
// describe it and the arithmetic the export table asks them for.

#include "core/fixed/bit_true.h"
#include "core/formats/exports/export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// The multipliers of a filter of these taps: a symmetric or antisymmetric pair shares one.
int FirMultipliers(const std::vector<std::int32_t>& taps);

// The registered levels of the adder tree that sums the products a pair at a time:
// ceil(log2 multipliers).
int FirTreeLevels(const std::vector<std::int32_t>& taps);

// Enabled clocks from the one that takes x[n] to the one after which y holds y[n]: the pre-add,
// the products, each level of the tree and the output take one each.
int FirLatency(const std::vector<std::int32_t>& taps);

// SYMMETRY: 1 symmetric, -1 antisymmetric, 0 neither.
int FirSymmetryConstant(const std::vector<std::int32_t>& taps);

// SHIFT: the accumulator's fraction bits (the input's plus the taps') less the output's.
int FirShift(const BitTrueFormats& formats);

// The opening comment of the filter and of its test bench, each line after prefix.
std::string FirComment(const std::vector<std::int32_t>& taps, std::string_view prefix);
std::string FirTestbenchComment(const std::vector<std::int32_t>& taps, std::string_view prefix);

// An export table's writer of a filter or test bench: the description's comment lines after
// prefix, then write's text for the quantised taps and input.arithmetic, with the taps'
// fraction and the default accumulator filled in.
using HdlWriter = std::string (*)(const FixedPointTaps& taps, const BitTrueFormats& formats);
std::string HdlExport(const ExportInput& input, std::string_view prefix, HdlWriter write);

} // namespace taplore
