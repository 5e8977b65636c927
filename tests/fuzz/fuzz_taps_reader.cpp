// The taps reader on any bytes: it either refuses the file with its message or gives finite
// taps, no more than it was allowed, which the full-precision text and the JSON export give
// back bit for bit (the JSON with the description it read).
#include "core/formats/coef_format.h"
#include "core/formats/exports/export.h"
#include "core/formats/taps_reader.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

using namespace taplore;

constexpr std::int64_t kMaxTaps = 1 << 12;

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::bit_cast<std::uint64_t>(a[k]) != std::bit_cast<std::uint64_t>(b[k]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A first byte of 0x01 ... 0x1f asks for fixed-point integers of some width; it is a blank
    // or a control character, so the rest reads the same either way.
    TapsReading reading{std::nullopt, kMaxTaps};
    if (size > 0 && data[0] >= 1 && data[0] < 0x20 && data[0] != '\t' && data[0] != '\n' &&
        data[0] != '\r')
        reading.fixedPoint = QFormat{2 + data[0] % 31, data[0] % 40};
    TapsFile file;
    try {
        file = ReadTaps(text, reading);
    } catch (const TapsFileError&) {
        return 0;
    }
    if (file.taps.empty() || static_cast<std::int64_t>(file.taps.size()) > kMaxTaps)
        std::abort();
    for (const double tap : file.taps)
        if (!std::isfinite(tap))
            std::abort();
    const int count = static_cast<int>(file.taps.size());
    if (!SameBits(ReadTaps(FormatCoefficientsFull(file.taps.data(), count)).taps, file.taps))
        std::abort();
    const TapsFile json =
        ReadTaps(FindExportFormat("json")->write({file.taps, nullptr, file.description}));
    if (!SameBits(json.taps, file.taps) || json.description.title != file.description.title ||
        json.description.notes != file.description.notes)
        std::abort();
    return 0;
}
