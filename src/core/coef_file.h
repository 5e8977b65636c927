#pragma once
// The coefficient text file: one "%f" value per line, h[0] first, every line ending in CR LF.

#include <string>

// The file's bytes for count taps.
std::string FormatCoefficientText(const double* coef, int count);

// Writes count taps to path, replacing any previous content only once all is written.
// Throws CFileException on failure.
void WriteCoefficientFile(const std::string& path, const double* coef, int count);
