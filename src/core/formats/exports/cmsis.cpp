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

int PaddedCount(int count, const CmsisTarget& target) {
    return target.evenCount ? std::max(4, count + count % 2) : count;
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

// appendTap(text, k) writes h[k]; taps beyond count are the padding's zeros.
template <typename AppendTap>
std::string WriteCmsis(const ExportInput& input, const CmsisTarget& target, bool needsMath,
                       AppendTap appendTap) {
    const int count = static_cast<int>(input.taps.size());
    const int padded = PaddedCount(count, target);
    if (padded > kMaxCmsisTaps)
        throw ExportRefused("CMSIS-DSP's FIR filters take at most 65535 taps, not " +
                            crt::FormatD(padded) + ".");
    const std::string type(target.type), suffix(target.suffix);
    std::string text = Head(input, target, padded - count, needsMath);
    text += "\n#define FIR_NUM_TAPS " + crt::FormatD(padded) + "\n#define FIR_BLOCK_SIZE " +
            crt::FormatD(input.blockSize) + "\n\n";
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
    text += "};\n" + type + " fir_state[FIR_NUM_TAPS + FIR_BLOCK_SIZE - 1];\n";
    text += "arm_fir_instance_" + suffix +
            " fir_instance = {FIR_NUM_TAPS, fir_state, fir_coefficients};\n";
    return text;
}

std::string WriteCmsisFixed(const ExportInput& input, const CmsisTarget& target) {
    const FixedPointTaps& q = QuantisedTaps(input);
    return WriteCmsis(input, target, false, [&q](std::string& text, int k) {
        // 2147483648 alone is no int constant, so the most negative Q31 value is named.
        text += q.values[k] == INT32_MIN ? "INT32_MIN" : crt::FormatD(q.values[k]);
    });
}

} // namespace

std::string WriteCmsisQ15(const ExportInput& input) {
    return WriteCmsisFixed(input, {"q15", "q15_t", "int16_t", true});
}

std::string WriteCmsisQ31(const ExportInput& input) {
    return WriteCmsisFixed(input, {"q31", "q31_t", "int32_t", false});
}

std::string WriteCmsisF32(const ExportInput& input) {
    const bool needsMath = !std::all_of(input.taps.begin(), input.taps.end(), [](double tap) {
        return std::isfinite(static_cast<float>(tap));
    });
    return WriteCmsis(input, {"f32", "float32_t", "float", false}, needsMath,
                      [&input](std::string& text, int k) {
                          AppendCFloatingConstant(text, input.taps[k], CFloating::floatType);
                      });
}

} // namespace taplore
