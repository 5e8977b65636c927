#include "core/formats/exports/hdl_fir.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"

#include <bit>
#include <initializer_list>

namespace taplore {
namespace {

std::string Commented(std::initializer_list<std::string> lines, std::string_view prefix) {
    std::string text;
    for (const std::string& line : lines)
        text += std::string(prefix) + " " + line + "\n";
    return text;
}

} // namespace

int FirMultipliers(const std::vector<std::int32_t>& taps) {
    const int count = static_cast<int>(taps.size());
    return SymmetryOf(taps) == Symmetry::none ? count : (count + 1) / 2;
}

int FirTreeLevels(const std::vector<std::int32_t>& taps) {
    const int multipliers = FirMultipliers(taps);
    return multipliers <= 1 ? 0 : static_cast<int>(std::bit_width(unsigned(multipliers - 1)));
}

int FirLatency(const std::vector<std::int32_t>& taps) {
    return 3 + FirTreeLevels(taps);
}

int FirSymmetryConstant(const std::vector<std::int32_t>& taps) {
    const Symmetry symmetry = SymmetryOf(taps);
    return symmetry == Symmetry::even ? 1 : symmetry == Symmetry::odd ? -1 : 0;
}

int FirShift(const BitTrueFormats& formats) {
    return formats.input.fraction + formats.tapFraction - formats.output.fraction;
}

std::string FirComment(const std::vector<std::int32_t>& taps, std::string_view prefix) {
    const std::string latency = crt::FormatD(FirLatency(taps));
    return Commented(
        {"A linear-phase FIR filter computing bit for bit what taplore-design --simulate",
         "computes. The products are summed a pair at a time by a registered adder tree of " +
             crt::FormatD(FirTreeLevels(taps)) + " levels.",
         "Latency: " + latency + " enabled clocks, y holding y[n] once " + latency +
             " enabled clocks have followed",
         "the one that takes x[n]. The exact sum of products is fitted to ACC_BITS, then",
         "rounded to the output's fraction and fitted to OUT_BITS, wrapping or saturating at "
         "both."},
        prefix);
}

std::string FirTestbenchComment(const std::vector<std::int32_t>& taps, std::string_view prefix) {
    return Commented({"Feeds STIMULUS to taplore_fir, one integer a line, with an idle clock (ce",
                      "low, x changed) after every second sample, and compares each output with",
                      "EXPECTED after the filter's latency of " + crt::FormatD(FirLatency(taps)) +
                          " enabled clocks."},
                     prefix);
}

std::string HdlExport(const ExportInput& input, std::string_view prefix, HdlWriter write) {
    const FixedPointTaps& taps = QuantisedTaps(input);
    BitTrueFormats formats = input.arithmetic;
    formats.tapFraction = taps.format.fraction;
    if (formats.accumulatorBits == 0)
        formats.accumulatorBits = NeverOverflowingBits(formats.input.bits, taps.values);
    return CommentLines(input, prefix) + write(taps, formats);
}

} // namespace taplore
