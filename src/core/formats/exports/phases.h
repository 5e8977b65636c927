#pragma once
// What the writers of a rate change's phases share: the phases padded to one length, the names
// of a plan's stages, and the comment lines that say how the phases are laid out.

#include "core/formats/exports/export.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace taplore {

// The phases of count taps split for factor: as many phases as the factor, each `length` taps
// long once the shorter ones end in a zero tap; padding is the number of those zeros.
struct PhaseLayout {
    int count = 0;
    int length = 0;
    int padding = 0;
};
PhaseLayout LayoutPhases(int taps, int factor);

// The polyphase split of values, every phase made as long as the longest with zeros at its end,
// so that the phases fill a rectangular array and a loop over them needs no count per phase.
std::vector<std::vector<double>> PaddedPhases(std::span<const double> values, int factor);

// The same for integers, which doubles hold exactly.
std::vector<std::vector<std::int32_t>> PaddedPhases(std::span<const std::int32_t> values,
                                                    int factor);

// "decimation by 4: 4 phases of 12 taps, phase p holding taps p, p + 4, p + 8, ...", then how
// each phase is used and the zero padding, if any: the lines a file's comment holds.
std::vector<std::string> PhasesNote(const RateFactor& change, int taps);

// "DECIMATION_FACTOR" or "INTERPOLATION_FACTOR", after a name's prefix.
std::string_view FactorName(const RateFactor& change);

// The prefix of stage `index`'s names (from 0): "stage1_"; Upper() of it for constants.
std::string StagePrefix(std::size_t index);
std::string Upper(std::string_view name);

// "stage 2 of 3: decimation by 4 at 768000 Hz, 45 taps".
std::string StageLine(const CascadeInput& input, std::size_t index);

// Each stage of a format with a width: its StageLine and quantisation note as a comment after
// commentPrefix, then appendFilter(text, quantised, change, StagePrefix).
using AppendQuantisedFilter = void (*)(std::string& text, const FixedPointTaps& quantised,
                                       const std::optional<RateFactor>& change,
                                       const std::string& prefix);
void AppendQuantisedStages(std::string& text, const CascadeInput& input,
                           std::string_view commentPrefix, AppendQuantisedFilter appendFilter);

} // namespace taplore
