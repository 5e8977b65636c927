#include "core/formats/exports/export.h"

#include "core/formats/exports/verilog_fir.h"
#include "core/formats/exports/vhdl_fir.h"
#include "core/formats/exports/writers.h"

#include "core/formats/crt.h"

#include <array>

namespace taplore {
namespace {

double SixDecimals(double tap) {
    return crt::StrictAtof(crt::FormatF(tap)).value_or(tap);
}

double AsFloat(double tap) {
    return static_cast<float>(tap);
}

constexpr std::array<ExportFormat, 27> kFormats = {{
    {"text", "the saved file: \"%f\", CR LF line ends", "txt", ExportWidth::none, WriteText,
     SixDecimals},
    {"full", "17 significant digits a line, each reading back as the same double", "txt",
     ExportWidth::none, WriteFull},
    {"c", "a C array of doubles", "c", ExportWidth::none, WriteCArray, nullptr, false, false,
     WriteCArrayCascade},
    {"q15", "one Q15 integer a line", "txt", ExportWidth::q15, WriteIntegers},
    {"q31", "one Q31 integer a line", "txt", ExportWidth::q31, WriteIntegers},
    {"c-q15", "a C array of Q15 integers, with their quantisation cost", "c", ExportWidth::q15,
     WriteIntegerCArray, nullptr, false, false, WriteIntegerCArrayCascade},
    {"c-q31", "a C array of Q31 integers, with their quantisation cost", "c", ExportWidth::q31,
     WriteIntegerCArray, nullptr, false, false, WriteIntegerCArrayCascade},
    {"q", "one integer a line, of any width: q:B[.F] or --bits B[.F]", "txt", ExportWidth::chosen,
     WriteIntegers},
    {"cmsis-q15", "CMSIS-DSP style C: Q15 taps last first, state and instance for arm_fir_q15", "c",
     ExportWidth::q15, WriteCmsisQ15},
    {"cmsis-q31", "CMSIS-DSP style C: Q31 taps last first, state and instance for arm_fir_q31", "c",
     ExportWidth::q31, WriteCmsisQ31},
    {"cmsis-f32", "CMSIS-DSP style C: float taps last first, state and instance for arm_fir_f32",
     "c", ExportWidth::none, WriteCmsisF32, AsFloat},
    {"cmsis-decimate-q15", "CMSIS-DSP style C for arm_fir_decimate_q15: Q15 taps last first", "c",
     ExportWidth::q15, WriteCmsisDecimateQ15, nullptr, true, false, WriteCmsisDecimateQ15Cascade},
    {"cmsis-decimate-q31", "CMSIS-DSP style C for arm_fir_decimate_q31: Q31 taps last first", "c",
     ExportWidth::q31, WriteCmsisDecimateQ31, nullptr, true, false, WriteCmsisDecimateQ31Cascade},
    {"cmsis-decimate-f32", "CMSIS-DSP style C for arm_fir_decimate_f32: float taps last first", "c",
     ExportWidth::none, WriteCmsisDecimateF32, AsFloat, true, false, WriteCmsisDecimateF32Cascade},
    {"cmsis-interpolate-q15",
     "CMSIS-DSP style C for arm_fir_interpolate_q15: Q15 taps last first, a multiple of L", "c",
     ExportWidth::q15, WriteCmsisInterpolateQ15, nullptr, true, false,
     WriteCmsisInterpolateQ15Cascade},
    {"cmsis-interpolate-q31",
     "CMSIS-DSP style C for arm_fir_interpolate_q31: Q31 taps last first, a multiple of L", "c",
     ExportWidth::q31, WriteCmsisInterpolateQ31, nullptr, true, false,
     WriteCmsisInterpolateQ31Cascade},
    {"cmsis-interpolate-f32",
     "CMSIS-DSP style C for arm_fir_interpolate_f32: float taps last first, a multiple of L", "c",
     ExportWidth::none, WriteCmsisInterpolateF32, AsFloat, true, false,
     WriteCmsisInterpolateF32Cascade},
    {"coe", "Xilinx coefficient file: radix 10, integers of the width chosen", "coe",
     ExportWidth::chosen, WriteCoe},
    {"mif", "Intel memory initialisation file: integers in two's complement hex", "mif",
     ExportWidth::chosen, WriteMif},
    {"vhdl", "VHDL package: a constant array of signed values", "vhd", ExportWidth::chosen,
     WriteVhdl, nullptr, false, false, WriteVhdlCascade},
    {"verilog", "Verilog header: the count, the width and a function of sized signed constants",
     "vh", ExportWidth::chosen, WriteVerilog, nullptr, false, false, WriteVerilogCascade},
    {"verilog-fir",
     "Verilog module taplore_fir: the filter of --input-bits, --acc-bits, --output-bits, "
     "--overflow and --rounding",
     "v", ExportWidth::chosen, WriteVerilogFirExport, nullptr, false, true},
    {"verilog-testbench",
     "Verilog test bench of taplore_fir: feeds a stimulus file, compares with --simulate's output",
     "v", ExportWidth::chosen, WriteVerilogTestbenchExport, nullptr, false, true},
    {"vhdl-fir",
     "VHDL-2008 entity taplore_fir: the filter of --input-bits, --acc-bits, --output-bits, "
     "--overflow and --rounding",
     "vhd", ExportWidth::chosen, WriteVhdlFirExport, nullptr, false, true},
    {"vhdl-testbench",
     "VHDL-2008 test bench of taplore_fir: feeds a stimulus file, compares with --simulate's "
     "output",
     "vhd", ExportWidth::chosen, WriteVhdlTestbenchExport, nullptr, false, true},
    {"csv", "CSV: a header naming the design, then index and tap, each reading back exactly", "csv",
     ExportWidth::none, WriteCsv},
    {"json", "JSON: the design's description and rate, and the taps reading back exactly", "json",
     ExportWidth::none, WriteJson, nullptr, false, false, WriteJsonCascade},
}};

} // namespace

std::vector<double> WrittenTaps(const ExportFormat& format, std::span<const double> taps,
                                const FixedPointTaps* quantised) {
    if (quantised)
        return Dequantise(*quantised);
    std::vector<double> written(taps.begin(), taps.end());
    if (format.readBack)
        for (double& tap : written)
            tap = format.readBack(tap);
    return written;
}

std::span<const ExportFormat> ExportFormats() {
    return kFormats;
}

const ExportFormat* FindExportFormat(std::string_view name) {
    for (const ExportFormat& format : kFormats)
        if (format.name == name)
            return &format;
    return nullptr;
}

std::optional<FormatChoice> ParseFormatChoice(std::string_view text) {
    const std::size_t colon = text.find(':');
    const ExportFormat* format = FindExportFormat(text.substr(0, colon));
    if (!format)
        return std::nullopt;
    if (colon == std::string_view::npos)
        return FormatChoice{format, std::nullopt};
    const auto width = ParseQFormat(text.substr(colon + 1));
    if (!width || format->width != ExportWidth::chosen)
        return std::nullopt;
    return FormatChoice{format, width};
}

std::optional<QFormat> ExportQFormat(const ExportFormat& format, QFormat chosen) {
    switch (format.width) {
    case ExportWidth::chosen:
        return chosen;
    case ExportWidth::q15:
        return QFormat::q15;
    case ExportWidth::q31:
        return QFormat::q31;
    case ExportWidth::none:
        break;
    }
    return std::nullopt;
}

std::string ExportText(const ExportFormat& format, std::span<const double> taps,
                       const TapsDescription& description, QFormat chosen, int blockSize,
                       std::optional<RateFactor> rateChange) {
    std::optional<FixedPointTaps> quantised;
    if (const auto width = ExportQFormat(format, chosen))
        quantised = Quantise(taps.data(), static_cast<int>(taps.size()), *width);
    return format.write(
        {taps, quantised ? &*quantised : nullptr, description, blockSize, rateChange});
}

} // namespace taplore
