// Intel's memory initialisation file: WIDTH bits at each of DEPTH addresses, h[k] at address
// k, written as the two's complement in hexadecimal; "--" starts a comment.
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

namespace taplore {

std::string WriteMif(const ExportInput& input) {
    const FixedPointTaps& q = QuantisedTaps(input);
    std::string text = CommentLines(input, "--");
    text += "WIDTH=" + crt::FormatD(q.format.bits) + ";\n";
    text += "DEPTH=" + crt::FormatD(static_cast<int>(q.values.size())) + ";\n\n";
    text += "ADDRESS_RADIX=UNS;\nDATA_RADIX=HEX;\n\nCONTENT BEGIN\n";
    text.reserve(text.size() + q.values.size() * 24);
    for (std::size_t k = 0; k < q.values.size(); ++k) {
        text += "    " + crt::FormatD(static_cast<int>(k)) + " : ";
        text += TwosComplementHex(q.values[k], q.format.bits) + ";\n";
    }
    text += "END;\n";
    return text;
}

} // namespace taplore
