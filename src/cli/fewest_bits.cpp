#include "cli/fewest_bits.h"

#include "core/fixed/fewest_bits.h"
#include "core/formats/crt.h"
#include "core/formats/requirements_report.h"

namespace {

using namespace taplore;

// "fewest bits: 13 bits, 14 of them fraction bits (Q14 in 13 bits), by a search over the
// roundings; plain rounding needs 14 bits", then each band as measured, with its margin.
TapsDescription DescribeFewest(const RequirementsReport& report, const FewestBits& found) {
    const QFormat format = found.taps.format;
    TapsDescription description;
    description.title = "fewest bits: " + crt::FormatD(format.bits) + " bits, " +
                        crt::FormatD(format.fraction) + " of them fraction bits (" +
                        QFormatName(format) + "), by a search over the roundings; plain rounding " +
                        (found.plainBits > 0 ? "needs " + crt::FormatD(found.plainBits) + " bits"
                                             : "meets at no width up to 32 bits");
    const RequirementsReport measured = AsWritten(report, Dequantise(found.taps));
    const std::vector<std::string> lines = FormatReport(measured);
    const std::vector<Band>& bands = report.requirements.bands;
    for (std::size_t i = 0; i < bands.size() && i + 1 < lines.size(); ++i) {
        const BandFigure figure = FigureOf(report.requirements, bands[i], found.deviations[i]);
        description.notes.push_back(lines[i + 1] + ", margin " + crt::FormatG(figure.marginDb, 3) +
                                    " dB");
    }
    description.notes.push_back("--bits " + crt::FormatD(format.bits) + "." +
                                crt::FormatD(format.fraction) +
                                " --search-roundings gives these taps to any format and to "
                                "--simulate");
    return description;
}

std::string IntegersText(const std::vector<std::int32_t>& values) {
    std::string text;
    for (std::int32_t q : values)
        text += crt::FormatD(q) + "\n";
    return text;
}

} // namespace

int WriteFewestBits(Console& console, const Request& request, const Design& design) {
    if (!design.report)
        return Report(console, kFailed,
                      "--fewest-bits needs requirements of pass and stop bands with a ripple "
                      "and an attenuation");
    console.progress.Enter("searching the fewest bits");
    std::optional<FewestBits> found;
    try {
        found =
            FindFewestBits(std::vector<double>(design.taps.get(), design.taps.get() + design.count),
                           design.report->requirements);
    } catch (const NoFixedPointForm& e) {
        return Report(console, kFailed, e.what());
    }
    if (!found)
        return Report(console, kFailed,
                      "No width up to 32 bits keeps the requirements: the taps miss them even "
                      "in double, or by less than 32 bits resolve.");
    if (!request.quiet)
        ShowReport(console, DescribeFewest(*design.report, *found));
    return WriteText(console, request.output, IntegersText(found->taps.values));
}
