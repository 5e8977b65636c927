// C for CMSIS-DSP's FIR routines (arm_fir_q15, arm_fir_q31, arm_fir_f32): the coefficients
// last tap first, as those routines take them, a state buffer of taps + block - 1 samples, and
// the instance structure initialised with both. The library's types are declared here unless
// TAPLORE_WITH_CMSIS_DSP asks for its arm_math.h, so the file compiles on its own too.
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/formats/exports/export_text.h"
#include "core/formats/exports/phases.h"
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

// The prefixes of one filter's names: none for a file of one filter, "stage1_" and "STAGE1_"
// for a plan's first stage.
struct Names {
    std::string lower, upper;
};

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

std::string Includes(bool needsMath) {
    return "// Define TAPLORE_WITH_CMSIS_DSP to take the library's own types from arm_math.h.\n" +
           std::string(needsMath ? "#include <math.h>\n#include <stdint.h>\n"
                                 : "#include <stdint.h>\n");
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
    return text + Includes(needsMath) + Declarations(target);
}

void CheckTapCount(int padded) {
    if (padded > kMaxCmsisTaps)
        throw ExportRefused("CMSIS-DSP's FIR filters take at most 65535 taps, not " +
                            crt::FormatD(padded) + ".");
}

// fir_coefficients, last tap first: appendTap(text, k) writes h[k]; taps beyond count are the
// padding's zeros.
template <typename AppendTap>
void AppendCoefficients(std::string& text, const std::string& type, const Names& names, int count,
                        int padded, AppendTap appendTap) {
    text += "const " + type + " " + names.lower + "fir_coefficients[" + names.upper +
            "FIR_NUM_TAPS] = {\n";
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

// The library's call, how its taps are ordered, and the state's size, in the names of one
// filter (FIR_...) or of each stage of a plan (STAGEn_FIR_...).
std::string RateChangeUse(const CmsisTarget& target, bool decimates, const Names& names) {
    const std::string state = names.lower + "fir_state", P = names.upper + "FIR_";
    std::string text = "// For " + RateChangeCall(decimates) + "_" + std::string(target.suffix) +
                       "(): the taps last first, as the library takes them.\n";
    return text +
           (decimates
                ? "// " + state + " holds " + P + "NUM_TAPS + " + P +
                      "BLOCK_SIZE - 1 samples for blocks of " + P +
                      "BLOCK_SIZE\n// input samples, a multiple of " + P + "DECIMATION_FACTOR.\n"
                : "// Each phase has " + P + "PHASE_LENGTH taps; " + state + " holds " + P +
                      "PHASE_LENGTH + " + P + "BLOCK_SIZE - 1\n// samples for blocks of " + P +
                      "BLOCK_SIZE input samples.\n");
}

// The comment on the zeros an interpolator's taps end in, if any.
std::string PaddingNote(int padding, const Names& names) {
    if (padding == 0)
        return {};
    return "// The filter ends in " + crt::FormatD(padding) +
           (padding == 1 ? " added zero tap" : " added zero taps") + ", first in " + names.lower +
           "fir_coefficients, that make the count\n// a multiple of " + names.upper +
           "FIR_INTERPOLATION_FACTOR.\n";
}

std::string RateChangeDefines(const RateFactor& change, int padded, int blockSize,
                              const Names& names) {
    const std::string factor = crt::FormatD(change.factor), define = "\n#define " + names.upper;
    std::string text = change.decimates ? define + "FIR_DECIMATION_FACTOR " + factor
                                        : define + "FIR_INTERPOLATION_FACTOR " + factor;
    text += define + "FIR_NUM_TAPS " + crt::FormatD(padded);
    if (!change.decimates)
        text += define + "FIR_PHASE_LENGTH " + crt::FormatD(padded / change.factor);
    return text + define + "FIR_BLOCK_SIZE " + crt::FormatD(blockSize) + "\n\n";
}

// A decimator takes the taps as they are; an interpolator's count is made a multiple of its
// factor with zeros at the filter's end, which change nothing it computes.
int RateChangePadded(const ExportInput& input) {
    const RateFactor& change = *input.rateChange;
    if (change.factor > kMaxCmsisFactor)
        throw ExportRefused("CMSIS-DSP's decimators and interpolators take a factor of at most "
                            "255, not " +
                            crt::FormatD(change.factor) + ".");
    const int count = static_cast<int>(input.taps.size());
    const int padded =
        change.decimates ? count : (count + change.factor - 1) / change.factor * change.factor;
    CheckTapCount(padded);
    return padded;
}

// The defines, coefficients, state and instance of one decimator or interpolator.
template <typename AppendTap>
std::string RateChangeFilter(const ExportInput& input, const CmsisTarget& target,
                             const Names& names, AppendTap appendTap) {
    const RateFactor& change = *input.rateChange;
    const int padded = RateChangePadded(input);
    const std::string type(target.type), p = names.lower, P = names.upper;
    std::string text = RateChangeDefines(change, padded, input.blockSize, names);
    AppendCoefficients(text, type, names, static_cast<int>(input.taps.size()), padded, appendTap);
    const std::string call = RateChangeCall(change.decimates) + "_instance_" +
                             std::string(target.suffix) + " " + p + "fir_instance = {";
    const std::string ends = ", " + p + "fir_coefficients, " + p + "fir_state};\n";
    if (change.decimates)
        return text + type + " " + p + "fir_state[" + P + "FIR_NUM_TAPS + " + P +
               "FIR_BLOCK_SIZE - 1];\n" + call + P + "FIR_DECIMATION_FACTOR, " + P +
               "FIR_NUM_TAPS" + ends;
    return text + type + " " + p + "fir_state[" + P + "FIR_PHASE_LENGTH + " + P +
           "FIR_BLOCK_SIZE - 1];\n" + call + P + "FIR_INTERPOLATION_FACTOR, " + P +
           "FIR_PHASE_LENGTH" + ends;
}

template <typename AppendTap>
std::string WriteCmsisRateChange(const ExportInput& input, const CmsisTarget& target,
                                 bool needsMath, AppendTap appendTap) {
    const bool decimates = input.rateChange->decimates;
    const int padding = RateChangePadded(input) - static_cast<int>(input.taps.size());
    std::string text = CommentLines(input, "//") + RateChangeUse(target, decimates, {}) +
                       PaddingNote(padding, {}) + Includes(needsMath) +
                       RateChangeDeclarations(target, decimates);
    return text + RateChangeFilter(input, target, {}, appendTap);
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
    AppendCoefficients(text, type, {}, count, padded, appendTap);
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

// Whether a float of the taps is infinite or NaN, which C spells with math.h's macros.
bool NeedsMath(std::span<const double> taps) {
    return !std::all_of(taps.begin(), taps.end(),
                        [](double tap) { return std::isfinite(static_cast<float>(tap)); });
}

template <typename Write> std::string WriteCmsisFloat(const ExportInput& input, Write write) {
    return write(input, kF32, NeedsMath(input.taps), [&input](std::string& text, int k) {
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

// writeFilter(input, target, needsMath, appendTap) for a stage of a plan: its filter alone,
// under its own names.
auto FilterNamed(const Names& names) {
    return [&names](const ExportInput& input, const CmsisTarget& target, bool, auto appendTap) {
        return RateChangeFilter(input, target, names, appendTap);
    };
}

// A plan's stages in one file: the library's types once, then each stage's filter under names
// of its own (stage1_fir_coefficients, STAGE1_FIR_NUM_TAPS, ...); writeStage(input, names) writes
// one.
template <typename WriteStage>
std::string WriteCmsisCascade(const CascadeInput& input, const CmsisTarget& target, bool decimates,
                              bool needsMath, WriteStage writeStage) {
    std::string text = CommentLines({{}, nullptr, input.description}, "//") +
                       RateChangeUse(target, decimates, {"stageN_", "STAGEN_"}) +
                       Includes(needsMath) + RateChangeDeclarations(target, decimates);
    text +=
        "\n#define FIR_STAGE_COUNT " + crt::FormatD(static_cast<int>(input.stages.size())) + "\n";
    for (std::size_t i = 0; i < input.stages.size(); ++i) {
        const ExportStage& stage = input.stages[i];
        const ExportInput stageInput{stage.taps, stage.quantised, input.description,
                                     input.blockSize, stage.change};
        Changing(stageInput, decimates); // a plan of the other change is refused
        const Names names{StagePrefix(i), Upper(StagePrefix(i))};
        text += '\n';
        AppendComment(text, "//",
                      StageLine(input, i) +
                          (stage.quantised
                               ? "; " + QuantisationNote(stage.taps.data(), *stage.quantised)
                               : std::string()));
        text +=
            PaddingNote(RateChangePadded(stageInput) - static_cast<int>(stage.taps.size()), names);
        text += writeStage(stageInput, names);
    }
    return text;
}

std::string WriteFixedCascade(const CascadeInput& input, const CmsisTarget& target,
                              bool decimates) {
    return WriteCmsisCascade(input, target, decimates, false,
                             [&target](const ExportInput& stage, const Names& names) {
                                 return WriteCmsisFixed(stage, target, FilterNamed(names));
                             });
}

std::string WriteFloatCascade(const CascadeInput& input, bool decimates) {
    const bool needsMath =
        std::any_of(input.stages.begin(), input.stages.end(),
                    [](const ExportStage& stage) { return NeedsMath(stage.taps); });
    return WriteCmsisCascade(input, kF32, decimates, needsMath,
                             [](const ExportInput& stage, const Names& names) {
                                 return WriteCmsisFloat(stage, FilterNamed(names));
                             });
}

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

std::string WriteCmsisDecimateQ15Cascade(const CascadeInput& input) {
    return WriteFixedCascade(input, kQ15, true);
}

std::string WriteCmsisDecimateQ31Cascade(const CascadeInput& input) {
    return WriteFixedCascade(input, kQ31, true);
}

std::string WriteCmsisDecimateF32Cascade(const CascadeInput& input) {
    return WriteFloatCascade(input, true);
}

std::string WriteCmsisInterpolateQ15Cascade(const CascadeInput& input) {
    return WriteFixedCascade(input, kQ15, false);
}

std::string WriteCmsisInterpolateQ31Cascade(const CascadeInput& input) {
    return WriteFixedCascade(input, kQ31, false);
}

std::string WriteCmsisInterpolateF32Cascade(const CascadeInput& input) {
    return WriteFloatCascade(input, false);
}

} // namespace taplore
