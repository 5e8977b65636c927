#pragma once
// The writers the export table lists, one file each.

#include "core/formats/exports/export.h"

namespace taplore {

std::string WriteText(const ExportInput& input);
std::string WriteFull(const ExportInput& input);
std::string WriteCArray(const ExportInput& input);
std::string WriteIntegers(const ExportInput& input);
std::string WriteIntegerCArray(const ExportInput& input);

std::string WriteCmsisQ15(const ExportInput& input);
std::string WriteCmsisQ31(const ExportInput& input);
std::string WriteCmsisF32(const ExportInput& input);
std::string WriteCmsisDecimateQ15(const ExportInput& input);
std::string WriteCmsisDecimateQ31(const ExportInput& input);
std::string WriteCmsisDecimateF32(const ExportInput& input);
std::string WriteCmsisInterpolateQ15(const ExportInput& input);
std::string WriteCmsisInterpolateQ31(const ExportInput& input);
std::string WriteCmsisInterpolateF32(const ExportInput& input);
std::string WriteCoe(const ExportInput& input);
std::string WriteMif(const ExportInput& input);
std::string WriteVhdl(const ExportInput& input);
std::string WriteVerilog(const ExportInput& input);
std::string WriteCsv(const ExportInput& input);
std::string WriteJson(const ExportInput& input);

// A plan's stages in one file.
std::string WriteCArrayCascade(const CascadeInput& input);
std::string WriteIntegerCArrayCascade(const CascadeInput& input);
std::string WriteCmsisDecimateQ15Cascade(const CascadeInput& input);
std::string WriteCmsisDecimateQ31Cascade(const CascadeInput& input);
std::string WriteCmsisDecimateF32Cascade(const CascadeInput& input);
std::string WriteCmsisInterpolateQ15Cascade(const CascadeInput& input);
std::string WriteCmsisInterpolateQ31Cascade(const CascadeInput& input);
std::string WriteCmsisInterpolateF32Cascade(const CascadeInput& input);
std::string WriteVhdlCascade(const CascadeInput& input);
std::string WriteVerilogCascade(const CascadeInput& input);
std::string WriteJsonCascade(const CascadeInput& input);

} // namespace taplore
