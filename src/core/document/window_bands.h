#pragma once
// The requirements window's bands as its table holds them: each a pass or stop band with its
// edges in Hz, the ripple (pass) or attenuation (stop) it asks and a pass band's gain, the four
// shapes a design starts from, and where a band added falls. No Qt: the table's model only
// shows them.

#include "core/design/requirements.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// One row of the table.
struct BandRow {
    bool pass = true;
    double lowHz = 0.0;
    double highHz = 0.0;
    double toleranceDb = 0.0; // peak-to-peak ripple of a pass band, attenuation of a stop band
    // A pass band's gain at its low and high edge, a line between; a stop band asks 0 and
    // leaves them as they are.
    double gain = 1.0;
    double endGain = 1.0;

    bool operator==(const BandRow&) const = default;
};

// The band a row asks the design for: a pass band of gain 1, or its ripple relative to its
// gain where that is not 1, as the command line's sloped --pass; a stop band of gain 0.
Band DesignBand(const BandRow& row);
// The row of a pass or stop band of a design document, tolerance being its own or its kind's.
BandRow RowOf(const Band& band, double toleranceDb);

// A pass row's gain as the table shows it, "1" or "1..0.5"; empty for a stop row.
std::string RowGainText(const BandRow& row);
// GAIN or G1..G2 into row's gains; false, row unchanged, for a text that is neither or a gain
// that is not a finite number above 0.
bool ReadRowGain(std::string_view text, BandRow& row);

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

// A band as the settings keep it, "pass,0,1000,0.1", a pass band's gain after the tolerance
// where it is not 1 ("pass,0,1000,0.1,1..2"), and back; nothing for a text that is none.
std::string BandSettingText(const BandRow& band);
std::optional<BandRow> BandOfSettingText(const std::string& text);

} // namespace taplore
