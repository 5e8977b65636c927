#include "core/formats/response_text.h"

#include "core/analysis/views.h"
#include "core/formats/crt.h"

std::string FormatResponse(const SpectrumLevels& levelsDb, double rate,
                           const SpectrumLevels* quantisedDb) {
    return FormatResponse(levelsDb, rate,
                          quantisedDb ? std::span<const double>(*quantisedDb)
                                      : std::span<const double>());
}

std::string FormatResponse(std::span<const double> levelsDb, double rate,
                           std::span<const double> quantisedDb) {
    const int bins = static_cast<int>(levelsDb.size());
    std::string text;
    for (int k = 0; k < bins; ++k) {
        text += crt::FormatShortest(taplore::FrequencyOf(k, rate, 2.0 * bins));
        text += '\t';
        text += crt::FormatShortest(levelsDb[k]);
        if (!quantisedDb.empty()) {
            text += '\t';
            text += crt::FormatShortest(quantisedDb[k]);
        }
        text += '\n';
    }
    return text;
}
