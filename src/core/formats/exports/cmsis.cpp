// C for CMSIS-DSP's FIR routines (arm_fir_q15, arm_fir_q31, arm_fir_f32): the coefficients
// last tap first, as those routines take them, a state buffer of taps + block - 1 samples, and
// the instance structure initialised with both. The library's types are declared here unless
// TAPLORE_WITH_CMSIS_DSP asks for its arm_math.h, so the file compiles on its own too.
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/writers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace taplore {
namespace {

// The instance's numTaps is a uint16_t.
constexpr int kMaxCmsisTaps = std::numeric_limits<std::uint16_t>::max();

struct CmsisTarget {
    std::string_view suffix;    // of the library's names: "q15"
    std::string_view type;      // its sample type: "q15_t"
    std::string_view plainType; // what that type is: "int16_t"
    // arm_fir_q15 takes an even count of at least four taps: zeros are added at the filter's
    // end, which changes nothing it computes.
    bool evenCount;
};

constexpr CmsisTarget kQ15{"q15", "q15_t", "int16_t", true};
constexpr CmsisTarget kQ31{"q31", "q31_t", "int32_t", false};
constexpr CmsisTarget kF32{"f32", "float32_t", "float", false};

int PaddedCount(int count, const CmsisTarget& target) {
    return target.evenCount ? std::max(4, count + count % 2) : count;
}

std::string RateChangeCall(bool decimates) {
    return decimates ? "arm_fir_decimate" : "arm_fir_interpolate";
}

std::string Declarations(const CmsisTarget& target) {
    const std::string type(target.type), suffix(target.suffix);
    return "#ifdef TAPLORE_WITH_CMSIS_DSP\n#include \"arm_math.h\"\n#else\n"
           "// The library's types, as its documentation gives them.\n"
           "typedef " +
           std::string(target.plainType) + " " + type + ";\ntypedef struct {\n" +
           "    uint16_t numTaps;\n    " + type + "* pState;\n    const " + type +
           "* pCoeffs;\n} arm_fir_instance_" + suffix + ";\n#endif\n";
}

std::string Head(const ExportInput& input, const CmsisTarget& target, int padding, bool needsMath) {
    std::string text = CommentLines(input, "//");
    text += "// For arm_fir_" + std::string(target.suffix) +
            "(): the taps last first, as the library's FIR routines take them";
    if (padding > 0)
        text += ", after " + crt::FormatD(padding) +
                (padding == 1 ? " zero tap that makes" : " zero taps that make") +
                " their count even and at least 4";
    text += ".\n// fir_state holds FIR_NUM_TAPS + FIR_BLOCK_SIZE - 1 samples for blocks of "
            "FIR_BLOCK_SIZE.\n";
    text += "// Define TAPLORE_WITH_CMSIS_DSP to take the library's own types from arm_math.h.\n";
    text += needsMath ? "#include <math.h>\n#include <stdint.h>\n" : "#include <stdint.h>\n";
    return text + Declarations(target);
}

void CheckTapCount(int padded) {
    if (padded > kMaxCmsisTaps)
        throw ExportRefused("CMSIS-DSP's FIR filters take at most 65535 taps, not " +
                            crt::FormatD(padded) + ".");
}

// fir_coefficients, last tap first: appendTap(text, k) writes h[k]; taps beyond count are the
// padding's zeros.
template <typename AppendTap>
void AppendCoefficients(std::string& text, const std::string& type, int count, int padded,
                        AppendTap appendTap) {
    text += "const " + type + " fir_coefficients[FIR_NUM_TAPS] = {\n";
    text.reserve(text.size() + static_cast<std::size_t>(padded) * 20);
    for (int k = padded - 1; k >= 0; --k) {
        text += "    ";
        if (k < count)
            appendTap(text, k);
        else
            text += '0';
        text += ",\n";
    }
    text += "};\n";
}

// The decimator's and interpolator's instances: the factor, then the taps (a decimator) or the
// phase length (an interpolator), the coefficients and the state.
std::string RateChangeDeclarations(const CmsisTarget& target, bool decimates) {
    const std::string type(target.type);
    return "#ifdef TAPLORE_WITH_CMSIS_DSP\n#include \"arm_math.h\"\n#else\n"
           "// The library's types, as its documentation gives them.\n"
           "typedef " +
           std::string(target.plainType) + " " + type + ";\ntypedef struct {\n" +
           (decimates ? "    uint8_t M;\n    uint16_t numTaps;\n"
                      : "    uint8_t L;\n    uint16_t phaseLength;\n") +
           "    const " + type + "* pCoeffs;\n    " + type + "* pState;\n} " +
           RateChangeCall(decimates) + "_instance_" + std::string(target.suffix) + ";\n#endif\n";
}

// The instance's factor is a uint8_t.
constexpr int kMaxCmsisFactor = std::numeric_limits<std::uint8_t>::max();

std::string RateChangeHead(const ExportInput& input, const CmsisTarget& target, int padding,
                           bool needsMath) {
    const RateFactor& change = *input.rateChange;
    std::string text = CommentLines(input, "//");
    text += "// For " + RateChangeCall(change.decimates) + "_" + std::string(target.suffix) +
            "(): the taps last first, as the library takes them";
    text += ".\n";
    if (padding > 0)
        text += "// The filter ends in " + crt::FormatD(padding) +
                (padding == 1 ? " added zero tap" : " added zero taps") +
                ", first in fir_coefficients, that make the count\n// a multiple of "
                "FIR_INTERPOLATION_FACTOR.\n";
    text += change.decimates
                ? "// fir_state holds FIR_NUM_TAPS + FIR_BLOCK_SIZE - 1 samples for blocks of "
                  "FIR_BLOCK_SIZE\n// input samples, a multiple of FIR_DECIMATION_FACTOR.\n"
                : "// Each phase has FIR_PHASE_LENGTH taps; fir_state holds FIR_PHASE_LENGTH + "
                  "FIR_BLOCK_SIZE - 1\n// samples for blocks of FIR_BLOCK_SIZE input samples.\n";
    text += "// Define TAPLORE_WITH_CMSIS_DSP to take the library's own types from arm_math.h.\n";
    text += needsMath ? "#include <math.h>\n#include <stdint.h>\n" : "#include <stdint.h>\n";
    return text + RateChangeDeclarations(target, change.decimates);
}

std::string RateChangeDefines(const RateFactor& change, int padded, int blockSize) {
    const std::string factor = crt::FormatD(change.factor);
    std::string text = change.decimates ? "\n#define FIR_DECIMATION_FACTOR " + factor
                                        : "\n#define FIR_INTERPOLATION_FACTOR " + factor;
    text += "\n#define FIR_NUM_TAPS " + crt::FormatD(padded);
    if (!change.decimates)
        text += "\n#define FIR_PHASE_LENGTH " + crt::FormatD(padded / change.factor);
    return text + "\n#define FIR_BLOCK_SIZE " + crt::FormatD(blockSize) + "\n\n";
}

// A decimator takes the taps as they are; an interpolator's count is made a multiple of its
// factor with zeros at the filter's end, which change nothing it computes.
template <typename AppendTap>
std::string WriteCmsisRateChange(const ExportInput& input, const CmsisTarget& target,
                                 bool needsMath, AppendTap appendTap) {
    const RateFactor& change = *input.rateChange;
    if (change.factor > kMaxCmsisFactor)
        throw ExportRefused("CMSIS-DSP's decimators and interpolators take a factor of at most "
                            "255, not " +
                            crt::FormatD(change.factor) + ".");
    const int count = static_cast<int>(input.taps.size());
    const int padded =
        change.decimates ? count : (count + change.factor - 1) / change.factor * change.factor;
    CheckTapCount(padded);
    const std::string type(target.type), suffix(target.suffix);
    std::string text = RateChangeHead(input, target, padded - count, needsMath);
    text += RateChangeDefines(change, padded, input.blockSize);
    AppendCoefficients(text, type, count, padded, appendTap);
    const std::string call = RateChangeCall(change.decimates) + "_instance_" + suffix;
    if (change.decimates)
        return text + type + " fir_state[FIR_NUM_TAPS + FIR_BLOCK_SIZE - 1];\n" + call +
               " fir_instance = {FIR_DECIMATION_FACTOR, FIR_NUM_TAPS, fir_coefficients, "
               "fir_state};\n";
    return text + type + " fir_state[FIR_PHASE_LENGTH + FIR_BLOCK_SIZE - 1];\n" + call +
           " fir_instance = {FIR_INTERPOLATION_FACTOR, FIR_PHASE_LENGTH, fir_coefficients, "
           "fir_state};\n";
}

// appendTap(text, k) writes h[k]; taps beyond count are the padding's zeros.
template <typename AppendTap>
std::string WriteCmsis(const ExportInput& input, const CmsisTarget& target, bool needsMath,
                       AppendTap appendTap) {
    const int count = static_cast<int>(input.taps.size());
    const int padded = PaddedCount(count, target);
    CheckTapCount(padded);
    const std::string type(target.type), suffix(target.suffix);
    std::string text = Head(input, target, padded - count, needsMath);
    text += "\n#define FIR_NUM_TAPS " + crt::FormatD(padded) + "\n#define FIR_BLOCK_SIZE " +
            crt::FormatD(input.blockSize) + "\n\n";
    AppendCoefficients(text, type, count, padded, appendTap);
    text += type + " fir_state[FIR_NUM_TAPS + FIR_BLOCK_SIZE - 1];\n";
    text += "arm_fir_instance_" + suffix +
            " fir_instance = {FIR_NUM_TAPS, fir_state, fir_coefficients};\n";
    return text;
}

// write(input, target, needsMath, appendTap) with the integers' appender.
template <typename Write>
std::string WriteCmsisFixed(const ExportInput& input, const CmsisTarget& target, Write write) {
    const FixedPointTaps& q = QuantisedTaps(input);
    return write(input, target, false, [&q](std::string& text, int k) {
        // 2147483648 alone is no int constant, so the most negative Q31 value is named.
        text += q.values[k] == INT32_MIN ? "INT32_MIN" : crt::FormatD(q.values[k]);
    });
}

template <typename Write> std::string WriteCmsisFloat(const ExportInput& input, Write write) {
    const bool needsMath = !std::all_of(input.taps.begin(), input.taps.end(), [](double tap) {
        return std::isfinite(static_cast<float>(tap));
    });
    return write(input, kF32, needsMath, [&input](std::string& text, int k) {
        AppendCFloatingConstant(text, input.taps[k], CFloating::floatType);
    });
}

// input, refused unless it changes the rate the way the format's call does.
const ExportInput& Changing(const ExportInput& input, bool decimates) {
    if (!input.rateChange || input.rateChange->decimates != decimates)
        throw ExportRefused(std::string("This format writes ") +
                            (decimates ? "a decimator's taps: design one with --decimate."
                                       : "an interpolator's taps: design one with --interpolate."));
    return input;
}

const auto kSingleRate = [](const ExportInput& input, const CmsisTarget& target, bool needsMath,
                            auto appendTap) {
    return WriteCmsis(input, target, needsMath, appendTap);
};

const auto kRateChange = [](const ExportInput& input, const CmsisTarget& target, bool needsMath,
                            auto appendTap) {
    return WriteCmsisRateChange(input, target, needsMath, appendTap);
};

} // namespace

std::string WriteCmsisQ15(const ExportInput& input) {
    return WriteCmsisFixed(input, kQ15, kSingleRate);
}

std::string WriteCmsisQ31(const ExportInput& input) {
    return WriteCmsisFixed(input, kQ31, kSingleRate);
}

std::string WriteCmsisF32(const ExportInput& input) {
    return WriteCmsisFloat(input, kSingleRate);
}

std::string WriteCmsisDecimateQ15(const ExportInput& input) {
    return WriteCmsisFixed(Changing(input, true), kQ15, kRateChange);
}

std::string WriteCmsisDecimateQ31(const ExportInput& input) {
    return WriteCmsisFixed(Changing(input, true), kQ31, kRateChange);
}

std::string WriteCmsisDecimateF32(const ExportInput& input) {
    return WriteCmsisFloat(Changing(input, true), kRateChange);
}

std::string WriteCmsisInterpolateQ15(const ExportInput& input) {
    return WriteCmsisFixed(Changing(input, false), kQ15, kRateChange);
}

std::string WriteCmsisInterpolateQ31(const ExportInput& input) {
    return WriteCmsisFixed(Changing(input, false), kQ31, kRateChange);
}

std::string WriteCmsisInterpolateF32(const ExportInput& input) {
    return WriteCmsisFloat(Changing(input, false), kRateChange);
}

} // namespace taplore
