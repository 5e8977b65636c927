#pragma once
// The coefficient text file: one "%f" value per line, h[0] first, every line ending in CR LF.

#include "core/progress.h"

#include <string>

// The file's bytes for count taps.
std::string FormatCoefficientText(const double* coef, int count);

// Writes count taps to path, replacing any previous content only once all is written.
// Throws CFileException on failure; with the cause none when progress stopped the save.
void WriteCoefficientFile(const std::string& path, const double* coef, int count,
                          const Progress& progress = {});
