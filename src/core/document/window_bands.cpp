#include "core/document/window_bands.h"

#include "core/dialog/readings.h"
#include "core/formats/crt.h"
#include "core/formats/gain_text.h"

#include <array>
#include <cmath>
#include <sstream>

namespace taplore {

namespace {

constexpr double kPassRippleDb = 0.1;
constexpr double kStopAttenuationDb = 60.0;

} // namespace

BandRow PassRow(double lowHz, double highHz) {
    return {true, lowHz, highHz, kPassRippleDb};
}

BandRow StopRow(double lowHz, double highHz) {
    return {false, lowHz, highHz, kStopAttenuationDb};
}

std::vector<BandRow> PresetBands(BandPreset preset, double rate) {
    const double r = rate / 16;
    switch (preset) {
    case BandPreset::lowPass:
        return {PassRow(0, 2 * r), StopRow(3 * r, 8 * r)};
    case BandPreset::highPass:
        return {StopRow(0, 5 * r), PassRow(6 * r, 8 * r)};
    case BandPreset::bandPass:
        return {StopRow(0, r), PassRow(2 * r, 4 * r), StopRow(5 * r, 8 * r)};
    case BandPreset::bandStop:
        break;
    }
    return {PassRow(0, r), StopRow(2 * r, 4 * r), PassRow(5 * r, 8 * r)};
}

AddedBand BandToAdd(const std::vector<BandRow>& bands, int row, double rate) {
    const int count = static_cast<int>(bands.size());
    const int at = row < 0 || row >= count ? count : row + 1;
    const double gapLow = at > 0 ? bands[at - 1].highHz : 0.0;
    const double gapHigh = at < count ? bands[at].lowHz : rate / 2;
    const double third = (gapHigh - gapLow) / 3;
    const Edges edges = RoundedEdges({gapLow + third, gapHigh - third}, {gapLow, gapHigh}, rate);
    // The other kind than the band before, so that a low-pass grows into a band-stop.
    const bool pass = at > 0 && !bands[at - 1].pass;
    return {at, pass ? PassRow(edges.low, edges.high) : StopRow(edges.low, edges.high)};
}

Band DesignBand(const BandRow& row) {
    Band band{row.lowHz, row.highHz, row.pass ? row.gain : 0.0, 1.0, row.toleranceDb};
    if (!row.pass || (row.gain == 1.0 && row.endGain == 1.0))
        return band;
    band.relative = true;
    if (row.endGain != row.gain)
        band.endGain = row.endGain;
    return band;
}

BandRow RowOf(const Band& band, double toleranceDb) {
    const bool pass = IsPassBand(band);
    BandRow row{pass, band.lowHz, band.highHz, toleranceDb};
    if (pass) {
        row.gain = band.gain;
        row.endGain = EndGain(band);
    }
    return row;
}

std::string RowGainText(const BandRow& row) {
    return row.pass ? GainText(DesignBand(row)) : std::string();
}

bool ReadRowGain(std::string_view text, BandRow& row) {
    Band band;
    if (!ReadGainText(text, band))
        return false;
    const double end = EndGain(band);
    // Infinity and NaN are numbers to the reader but no gain to design to.
    if (!(band.gain > 0.0 && end > 0.0 && std::isfinite(band.gain) && std::isfinite(end)))
        return false;
    row.gain = band.gain;
    row.endGain = end;
    return true;
}

std::string BandSettingText(const BandRow& band) {
    std::string text = band.pass ? "pass" : "stop";
    for (const double number : {band.lowHz, band.highHz, band.toleranceDb})
        text.append(",").append(crt::FormatShortest(number));
    // Left out at gain 1, so that the settings of a flat band read as they always did.
    if (band.pass && (band.gain != 1.0 || band.endGain != 1.0))
        text.append(",").append(RowGainText(band));
    return text;
}

std::optional<BandRow> BandOfSettingText(const std::string& text) {
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!text.empty() && text.back() == ',')
        fields.emplace_back();
    if (fields.size() != 4 && fields.size() != 5)
        return std::nullopt;
    std::array<double, 3> numbers{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto number = crt::StrictAtof(fields[i + 1]);
        if (!number)
            return std::nullopt;
        numbers[i] = *number;
    }
    BandRow row{fields[0] == "pass", numbers[0], numbers[1], numbers[2]};
    if (fields.size() == 5 && (!row.pass || !ReadRowGain(fields[4], row)))
        return std::nullopt;
    return row;
}

} // namespace taplore
