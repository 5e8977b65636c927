#include "core/formats/zeros_text.h"

#include "core/formats/crt.h"

namespace taplore {

std::string FormatZerosText(const TapZeros& zeros) {
    std::string text;
    for (const std::complex<double> zero : zeros.zeros) {
        crt::AppendShortest(text, zero.real());
        text += ' ';
        crt::AppendShortest(text, zero.imag());
        text += '\n';
    }
    return text;
}

} // namespace taplore
