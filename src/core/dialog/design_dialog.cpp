#include "core/dialog/design_dialog.h"

#include "core/formats/coef_file.h"
#include "core/formats/crt.h"
#include "core/io/file_output.h"

namespace taplore {

namespace {

const char* const kDesignProgressText = "Calculating FIR coefficients…";
const char* const kSaveProgressText = "Saving coefficients…";

} // namespace

double SampleRate(std::string_view rateText) {
    return crt::Atof(rateText);
}

std::string CutoffLabel(int position, int maximum, double sampleRate) {
    return crt::FormatF8_1(position * sampleRate * 0.5 / maximum);
}

DesignRequest ReadRequest(std::string_view orderText, std::string_view rateText,
                          std::string_view lowLabel, std::string_view highLabel) {
    return {crt::Atoi(orderText), SampleRate(rateText), crt::Atof(lowLabel), crt::Atof(highLabel)};
}

std::string ListItemText(double tap) {
    return crt::FormatF(tap);
}

DesignDialog::Designed DesignDialog::Design(const DesignRequest& request,
                                            const LongWork& longWork) {
    if (TapsForOrder(request.order) < m_progressDesignTaps)
        return DesignWith(request, {});
    auto designed = Designed::stopped;
    longWork(kDesignProgressText,
             [&](const Progress& progress) { designed = DesignWith(request, progress); });
    return designed;
}

DesignDialog::Designed DesignDialog::DesignWith(const DesignRequest& request,
                                                const Progress& progress) {
    m_request = request;
    const int designed =
        DesignFilter(m_pCoef, m_nCoef, request.order, NormalisedCutoff(request.lowHz, request.rate),
                     NormalisedCutoff(request.highHz, request.rate), 0, progress);
    if (designed == kDesignStopped)
        return Designed::stopped;
    return designed < 0 ? Designed::failed : Designed::taps;
}

bool DesignDialog::Save(const std::string& path, const LongWork& longWork) const {
    if (m_nCoef < m_progressSaveTaps)
        return SaveWith(path, {});
    bool saved = false;
    longWork(kSaveProgressText,
             [&](const Progress& progress) { saved = SaveWith(path, progress); });
    return saved;
}

bool DesignDialog::SaveWith(const std::string& path, const Progress& progress) const {
    try {
        WriteCoefficientFile(path, m_pCoef.get(), m_nCoef, progress);
    } catch (const CFileException& e) {
        if (e.m_cause != CFileException::none)
            throw;
        return false;
    }
    return true;
}

void DesignDialog::SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps) {
    m_progressDesignTaps = designTaps;
    m_progressSaveTaps = saveTaps;
}

} // namespace taplore
