#include "core/formats/gain_text.h"

#include "core/formats/crt.h"

namespace taplore {

std::string GainText(const Band& band) {
    const std::string end = band.endGain ? ".." + crt::FormatShortest(*band.endGain) : "";
    return crt::FormatShortest(band.gain) + end;
}

bool ReadGainText(std::string_view text, Band& band) {
    const std::size_t dots = text.find("..");
    const auto gain = crt::StrictAtof(text.substr(0, dots));
    if (!gain)
        return false;
    band.gain = *gain;
    if (dots == std::string_view::npos)
        return true;
    band.endGain = crt::StrictAtof(text.substr(dots + 2));
    return band.endGain.has_value();
}

} // namespace taplore
