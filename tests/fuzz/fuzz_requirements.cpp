// Designs to requirements, from the command line and straight into the designers: never a
// crash, and never a tap that is not finite without a message. The first byte chooses the way
// in: even, the rest is taplore-design's arguments separated by NUL bytes; odd, it is the
// requirements' numbers as raw doubles, NaN, infinities and all.
#include "cli/design_cli.h"
#include "core/design/equiripple.h"
#include "core/design/methods.h"
#include "core/design/requirements_design.h"
#include "core/formats/requirements_report.h"
#include "core/io/memory.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace taplore;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool AllFinite(const std::vector<double>& taps) {
    for (double tap : taps)
        if (!std::isfinite(tap))
            return false;
    return true;
}

// Taps in --format full are one a line, "inf", "-inf" and "nan" where not finite (--help's
// text, which is written instead, has no such line).
bool WritesOnlyFiniteTaps(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line == "inf" || line == "-inf" || line == "nan")
            return false;
    return true;
}

// Words that would send output to a file: -o, --output, --plot, and short options with an o.
bool NamesAFile(const std::string& word) {
    if (word == "--output" || word == "--plot" || word.starts_with("--output=") ||
        word.starts_with("--plot="))
        return true;
    return word.starts_with('-') && !word.starts_with("--") && word.find('o') != std::string::npos;
}

void FromTheCommandLine(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words{""};
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0)
            words.emplace_back();
        else
            words.back() += static_cast<char>(data[k]);
    }
    // The taps go to standard output, which the target keeps; nothing is written elsewhere.
    bool toRequirements = false;
    for (std::string& word : words) {
        if (NamesAFile(word))
            word = "--quiet";
        for (const char* option : {"--pass", "--stop", "--band"})
            toRequirements = toRequirements || word.starts_with(option);
    }
    words.insert(words.end(), {"--format", "full"});
    std::ostringstream out, err;
    const int status = RunDesignCli(words, {out, err});
    Check(status == 0 || status == 1 || status == 2);
    if (status != 0)
        Check(!err.str().empty() && err.str().ends_with('\n'));
    if (status == 0 && toRequirements)
        Check(WritesOnlyFiniteTaps(out.str()));
}

// The next raw double of the input, or 0 past its end.
double Take(const std::uint8_t*& data, std::size_t& size) {
    double value = 0.0;
    const std::size_t n = std::min(size, sizeof value);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

// A design's taps and message as the designers hand them out, with the report of what it
// reached where it reached anything.
template <class Result> void CheckResult(const Result& result) {
    if (HasTaps(result.status))
        Check(!result.taps.empty() && AllFinite(result.taps));
    else
        Check(!result.message.empty() || result.status == DesignStatus::stopped);
}

void IntoTheDesigners(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    const int taps = size > 2 ? 1 + (data[1] | data[2] << 8) % 600 : 1;
    const std::size_t skip = std::min<std::size_t>(size, 3);
    data += skip;
    size -= skip;
    Requirements r;
    r.kind = static_cast<ResponseKind>(choice % 3);
    r.rate = Take(data, size);
    r.rippleDb = Take(data, size);
    r.attenuationDb = Take(data, size);
    while (size > 0 && r.bands.size() < 6) {
        Band band;
        band.lowHz = Take(data, size);
        band.highHz = Take(data, size);
        band.gain = Take(data, size);
        band.weight = Take(data, size);
        if (choice & 128) // a sloped band's gain at its high edge
            band.endGain = Take(data, size);
        band.relative = (choice & 32) != 0; // its error counted relative to its gain
        r.bands.push_back(band);
    }
    // Every method of the table, at the length given and as a search where it searches.
    const std::span<const Method> methods = Methods();
    const Method& method = methods[choice / 2 % methods.size()];
    try {
        if (choice & 1)
            CheckResult(DesignEquiripple(r, taps));
        const int length = method.Searches() && choice & 64 ? 0 : taps;
        const RequirementsDesign design =
            choice & 1 ? DesignBands(r, method, taps) : DesignToTolerances(r, method, length);
        CheckResult(design);
        if (HasTaps(design.status))
            Check(!FormatReport(design.report).empty());
    } catch (const std::bad_alloc&) {
        // The report measures on a grid that the pretended memory cannot hold.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Designs that would need more than a mebibyte fail as too large, so that each run stays
    // quick: a few hundred taps.
    mem::SetFreeBytesForTesting(std::uint64_t{1} << 20);
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0)
        FromTheCommandLine(data + 1, size - 1);
    else
        IntoTheDesigners(data + 1, size - 1);
    return 0;
}
