// The coefficient file writer: whatever the taps, the file holds one "%f" line per tap,
// each ending in CR LF, and reads back to the same text.
#include "core/formats/coef_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string ExpectedLine(double value) {
    if (value != value)
        return "nan\r\n";
    char text[512];
    std::snprintf(text, sizeof text, "%f\r\n", value);
    return text;
}

const std::string& OutputPath() {
    static const std::string path = "/tmp/taplore-fuzz-" + std::to_string(::getpid()) + ".txt";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<double> taps(size / sizeof(double));
    if (!taps.empty())
        std::memcpy(taps.data(), data, taps.size() * sizeof(double));
    WriteCoefficientFile(OutputPath(), taps.data(), static_cast<int>(taps.size()));

    std::string expected;
    for (double tap : taps)
        expected += ExpectedLine(tap);
    std::ifstream file(OutputPath(), std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file), {}};
    if (written != expected)
        std::abort();
    return 0;
}
