#include "core/formats/response_text.h"

#include "core/formats/crt.h"

std::string FormatResponse(const SpectrumLevels& levelsDb, double rate,
                           const SpectrumLevels* quantisedDb) {
    std::string text;
    for (int k = 0; k < kSpectrumBins; ++k) {
        text += crt::FormatShortest(k * rate / kSpectrumPoints);
        text += '\t';
        text += crt::FormatShortest(levelsDb[k]);
        if (quantisedDb) {
            text += '\t';
            text += crt::FormatShortest((*quantisedDb)[k]);
        }
        text += '\n';
    }
    return text;
}
