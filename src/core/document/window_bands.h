#pragma once
// The requirements window's bands as its table holds them: each a pass or stop band with its
// edges in Hz and the ripple (pass) or attenuation (stop) it asks, the four shapes a design
// starts from, and where a band added falls. No Qt: the table's model only shows them.

#include <optional>
#include <string>
#include <vector>

namespace taplore {

// One row of the table.
struct BandRow {
    bool pass = true;
    double lowHz = 0.0;
    double highHz = 0.0;
    double toleranceDb = 0.0; // peak-to-peak ripple of a pass band, attenuation of a stop band

    bool operator==(const BandRow&) const = default;
};

// A new band's tolerance: 0.1 dB of ripple, 60 dB of attenuation.
BandRow PassRow(double lowHz, double highHz);
BandRow StopRow(double lowHz, double highHz);

// The four shapes a new design starts from, scaled to the rate: their edges are sixteenths of it.
enum class BandPreset { lowPass, highPass, bandPass, bandStop };
std::vector<BandRow> PresetBands(BandPreset preset, double rate);

// A band after row (at the end for -1 or a row past the last), of the other kind than the band
// before it, in the middle third of the gap up to the next band or half the rate, its edges
// rounded to what the rate resolves; at is where it goes.
struct AddedBand {
    int at = 0;
    BandRow band;
};
AddedBand BandToAdd(const std::vector<BandRow>& bands, int row, double rate);

// A band as the settings keep it, "pass,0,1000,0.1", and back; nothing for a text that is none.
std::string BandSettingText(const BandRow& band);
std::optional<BandRow> BandOfSettingText(const std::string& text);

} // namespace taplore
