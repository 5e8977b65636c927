#include "core/formats/exports/export.h"

#include "core/formats/exports/writers.h"

#include <array>

namespace taplore {
namespace {

constexpr std::array<ExportFormat, 9> kFormats = {{
    {"cmsis-q15", "CMSIS-DSP style C: Q15 taps last first, state and instance for arm_fir_q15",
     ExportWidth::q15, WriteCmsisQ15},
    {"cmsis-q31", "CMSIS-DSP style C: Q31 taps last first, state and instance for arm_fir_q31",
     ExportWidth::q31, WriteCmsisQ31},
    {"cmsis-f32", "CMSIS-DSP style C: float taps last first, state and instance for arm_fir_f32",
     ExportWidth::none, WriteCmsisF32},
    {"coe", "Xilinx coefficient file: radix 10, the integers of --bits", ExportWidth::chosen,
     WriteCoe},
    {"mif", "Intel memory initialisation file: the integers of --bits in two's complement hex",
     ExportWidth::chosen, WriteMif},
    {"vhdl", "VHDL package: a constant array of signed values of --bits", ExportWidth::chosen,
     WriteVhdl},
    {"verilog", "Verilog header: the count, the width and a function of sized signed constants",
     ExportWidth::chosen, WriteVerilog},
    {"csv", "CSV: a header naming the design, then index and tap, each reading back exactly",
     ExportWidth::none, WriteCsv},
    {"json", "JSON: the design's description and rate, and the taps reading back exactly",
     ExportWidth::none, WriteJson},
}};

} // namespace

std::span<const ExportFormat> ExportFormats() {
    return kFormats;
}

const ExportFormat* FindExportFormat(std::string_view name) {
    for (const ExportFormat& format : kFormats)
        if (format.name == name)
            return &format;
    return nullptr;
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

} // namespace taplore
