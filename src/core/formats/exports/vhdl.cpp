// A VHDL package: the count, width and fraction bits as constants and the taps as a constant
// array of numeric_std's signed.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

namespace taplore {

std::string WriteVhdl(const ExportInput& input) {
    const FixedPointTaps& q = QuantisedTaps(input);
    std::string text = CommentLines(input, "--");
    text += "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n\n"
            "package fir_coefficients is\n";
    text += "    constant FIR_TAP_COUNT : positive := " +
            crt::FormatD(static_cast<int>(q.values.size())) + ";\n";
    text += "    constant FIR_TAP_WIDTH : positive := " + crt::FormatD(q.format.bits) + ";\n";
    text +=
        "    constant FIR_FRACTION_BITS : natural := " + crt::FormatD(q.format.fraction) + ";\n";
    text += "    type fir_tap_array is array (0 to FIR_TAP_COUNT - 1) of "
            "signed(FIR_TAP_WIDTH - 1 downto 0);\n";
    text += "    constant FIR_TAPS : fir_tap_array := (\n" + VhdlTapElements(q);
    text += "    );\nend package fir_coefficients;\n";
    return text;
}

} // namespace taplore
