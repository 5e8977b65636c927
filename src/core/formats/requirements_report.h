#pragma once
// What a design to requirements reached, as a short block of lines for people: the method and
// length, each band's measured figure against what was asked, and whether the next shorter
// length misses.

#include "core/design/minimum_phase.h"
#include "core/design/requirements_design.h"
#include "core/formats/exports/export.h"
#include "core/formats/taps_description.h"

#include <span>

#include <string>
#include <vector>

namespace taplore {

// The report in a few lines without line ends: a headline, one line a band, and the warning.
std::vector<std::string> FormatReport(const RequirementsReport& report);

// An L-th-band design's zero taps and what they save: "20 of 43 taps are zero: 23
// multiplications per output sample, 12 with the symmetric taps added first".
std::string ZeroTapsLine(const RequirementsReport& report);

// What the taps of such a design are, for whatever is written from them: the headline as the
// title, the other lines as notes.
TapsDescription DescribeReport(const RequirementsReport& report);

// A minimum-phase design's description: "minimum-phase " before the title, and the lines of its
// delay, its taps against linear phase's and how far its zeros reach.
void DescribePhase(const MinimumPhaseReport& phase, TapsDescription& description);

// What an output of format holds of a design to requirements: the description measured from
// the taps as written (rounded or quantised; the design's own where they read back exactly),
// and WrittenShortfall's words where those miss what the design's taps meet.
struct WrittenReport {
    TapsDescription description;
    std::string shortfall;
};
WrittenReport ReportAsWritten(const RequirementsReport& report, const ExportFormat& format,
                              std::span<const double> taps, const FixedPointTaps* quantised);

// The report of the same design measured anew from the taps as an output holds them (rounded
// or quantised), the shorter lengths left out: what that output reaches.
RequirementsReport AsWritten(const RequirementsReport& report, const std::vector<double>& written);

// Where the written taps miss what the design's own taps meet: the worst band's figure of each,
// as "stop 1500 to 4000 Hz: 77.16 dB as written, 90.01 dB in double"; empty otherwise.
std::string WrittenShortfall(const RequirementsReport& report, const RequirementsReport& written);

} // namespace taplore
