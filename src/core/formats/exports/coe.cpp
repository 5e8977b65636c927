// Xilinx's coefficient file, as its FIR compiler reads it: the integers in decimal after
// "radix=10;", separated by commas and ended by a semicolon; ";" starts a comment.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

namespace taplore {

std::string WriteCoe(const ExportInput& input) {
    const FixedPointTaps& q = QuantisedTaps(input);
    std::string text = CommentLines(input, ";");
    text += "; " + crt::FormatD(static_cast<int>(q.values.size())) + " taps of " +
            crt::FormatD(q.format.bits) + " bits, h[0] first\n";
    text += "radix=10;\ncoefdata=\n";
    text.reserve(text.size() + q.values.size() * 13);
    for (std::size_t k = 0; k < q.values.size(); ++k) {
        text += crt::FormatD(q.values[k]);
        text += k + 1 < q.values.size() ? ",\n" : ";\n";
    }
    return text;
}

} // namespace taplore
