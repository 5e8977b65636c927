#include "core/coef_file.h"

#include "core/crt.h"
#include "core/file_output.h"

std::string FormatCoefficientText(const double* coef, int count) {
    std::string text;
    // "-0.000000\r\n" is 11 bytes; most taps of a long design are that short.
    text.reserve(static_cast<std::size_t>(count) * 11);
    for (int k = 0; k < count; ++k) {
        crt::AppendF(text, coef[k]);
        text += "\r\n";
    }
    return text;
}

void WriteCoefficientFile(const std::string& path, const double* coef, int count) {
    WriteTextFile(path, FormatCoefficientText(coef, count));
}
