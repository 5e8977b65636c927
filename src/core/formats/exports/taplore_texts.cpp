// Taplore's own texts in the export table: the saved file's, full precision, the fixed-point
// integers and their C arrays, written by the formatters the dialog's copy entries use.
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

namespace taplore {
namespace {

int Count(const ExportInput& input) {
    return static_cast<int>(input.taps.size());
}

} // namespace

std::string WriteText(const ExportInput& input) {
    return FormatCoefficientText(input.taps.data(), Count(input));
}

std::string WriteFull(const ExportInput& input) {
    return FormatCoefficientsFull(input.taps.data(), Count(input));
}

std::string WriteIntegers(const ExportInput& input) {
    return FormatFixedPoint(QuantisedTaps(input));
}

std::string WriteIntegerCArray(const ExportInput& input) {
    return FormatFixedPointC(input.taps.data(), QuantisedTaps(input), input.description);
}

} // namespace taplore
