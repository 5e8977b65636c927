#include "core/formats/requirements_report.h"

#include "core/formats/crt.h"
#include "core/formats/gain_text.h"

#include <algorithm>
#include <cmath>

namespace taplore {

namespace {

// value with at most `decimals` decimals, as short as it reads back.
std::string Decimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return crt::FormatShortest(std::round(value * scale) / scale + 0.0); // no "-0"
}

std::string Hz(double hz) {
    return crt::FormatShortest(hz) + " Hz";
}

std::string Hz(const std::string& hz) {
    return hz + " Hz";
}

std::string Edges(const Band& band) {
    return crt::FormatShortest(band.lowHz) + " to " + Hz(band.highHz);
}

std::string MethodNoun(const RequirementsReport& report) {
    const Method& method = report.method ? *report.method : DefaultMethod();
    std::string noun(method.noun);
    if (method.showsBeta)
        noun += ", beta " + Decimals(report.beta, 3);
    return noun;
}

std::string KindPrefix(ResponseKind kind) {
    switch (kind) {
    case ResponseKind::hilbert:
        return "Hilbert transformer, ";
    case ResponseKind::differentiator:
        return "differentiator, ";
    default:
        return "";
    }
}

std::string Taps(int taps) {
    return crt::FormatD(taps) + (taps == 1 ? " tap" : " taps");
}

// "half-band " or "1/3-band " for an L-th-band design.
std::string BandPrefix(int band) {
    if (band == 0)
        return "";
    return band == 2 ? "half-band " : "1/" + crt::FormatD(band) + "-band ";
}

// A band's largest distance from its gain or its line: "deviation 0.00441735".
std::string DeviationText(double deviation) {
    return "deviation " + crt::FormatG(deviation, 6);
}

// "pass 0 to 1000 Hz: ripple 0.0851 dB (0.1 dB asked)", with "missed" where it does not keep it.
// peakToPeakDb: the band's gain largest over smallest, told where it differs from the ripple of
// the deviation by over a hundredth, as for a window design, whose gain is not centred on 1;
// NaN to leave it out. A sloped pass band names its line, its ripple is relative to it, and its
// largest distance from it follows: "pass 0 to 8000 Hz, gain 1..2: ripple 0.4214 dB (0.5 dB
// asked); deviation 0.0485083".
std::string ToleranceLine(const RequirementsReport& report, std::size_t i) {
    const Requirements& r = report.requirements;
    const Band& band = r.bands[i];
    const BandFigure figure = FigureOf(r, band, report.deviations[i]);
    const double peakToPeakDb =
        i < report.peakToPeakDb.size() ? report.peakToPeakDb[i] : std::nan("");
    std::string line = (figure.pass ? "pass " : "stop ") + Edges(band);
    if (band.relative)
        line += ", gain " + GainText(band);
    line += ": ";
    line += figure.pass ? "ripple " + Decimals(figure.reachedDb, 4)
                        : "attenuation " + Decimals(figure.reachedDb, 2);
    line += " dB (" + crt::FormatShortest(figure.askedDb) + " dB asked)";
    if (!figure.met)
        line += ", missed";
    if (figure.pass && std::isfinite(peakToPeakDb) &&
        std::fabs(peakToPeakDb - figure.reachedDb) > 0.01 * figure.reachedDb)
        line += "; " + Decimals(peakToPeakDb, 4) + " dB peak to peak";
    if (band.relative && i < report.lineDeviations.size())
        line += "; " + DeviationText(report.lineDeviations[i]);
    return line;
}

std::string BandLine(const Band& band, double deviation) {
    return "band " + Edges(band) + ", gain " + GainText(band) + ", weight " +
           crt::FormatShortest(band.weight) + ": " + DeviationText(deviation);
}

std::string Headline(const RequirementsReport& report) {
    std::string line = KindPrefix(report.requirements.kind) + BandPrefix(report.nyquistBand) +
                       MethodNoun(report) + ", " + Taps(report.taps);
    if (!report.tolerances && report.squaredError)
        return line + ": weighted squared error " + crt::FormatG(*report.squaredError, 6);
    if (!report.tolerances)
        return line + ": weighted deviation " + crt::FormatG(report.weightedDeviation, 6) +
               " after " + crt::FormatD(report.iterations) + " exchanges";
    line += Meets(report) ? ": meets the requirements" : ": misses the requirements";
    if (report.shorter.empty())
        return line;
    // "; 45 and 44 taps miss", each shorter length by its number alone but the last.
    line += "; ";
    for (std::size_t i = 0; i + 1 < report.shorter.size(); ++i)
        line += crt::FormatD(report.shorter[i].taps) + " and ";
    const int last = report.shorter.back().taps;
    const bool one = report.shorter.size() == 1 && last == 1;
    return line + Taps(last) + (one ? " misses" : " miss");
}

} // namespace

std::string ZeroTapsLine(const RequirementsReport& report) {
    const int nonzero = report.taps - report.zeroTaps;
    return crt::FormatD(report.zeroTaps) + " of " + Taps(report.taps) +
           (report.zeroTaps == 1 ? " is zero: " : " are zero: ") + crt::FormatD(nonzero) +
           " multiplications per output sample, " + crt::FormatD((nonzero + 1) / 2) +
           " with the symmetric taps added first";
}

std::vector<std::string> FormatReport(const RequirementsReport& report) {
    std::vector<std::string> lines{Headline(report)};
    const std::vector<Band>& bands = report.requirements.bands;
    for (std::size_t i = 0; i < bands.size() && i < report.deviations.size(); ++i)
        lines.push_back(report.tolerances ? ToleranceLine(report, i)
                                          : BandLine(bands[i], report.deviations[i]));
    if (report.nyquistBand > 0)
        lines.push_back(ZeroTapsLine(report));
    for (const auto& [low, high] : report.held)
        lines.push_back("transition " + crt::FormatShortest(low) + " to " + Hz(high) +
                        " held below the pass band");
    if (!report.tolerances && report.outsidePeak > 0.0)
        lines.push_back(
            "peak outside the bands: " + Decimals(20.0 * std::log10(report.outsidePeak), 2) +
            " dB at " + Hz(Decimals(report.outsidePeakHz, 1)));
    if (report.designs > 1)
        lines.push_back("the search designed " + crt::FormatD(report.designs) + " lengths");
    if (report.extended)
        lines.push_back(
            "the exchange ran in extended precision (long double, double-double where needed)");
    if (!report.warning.empty())
        lines.push_back("warning: " + report.warning);
    return lines;
}

RequirementsReport AsWritten(const RequirementsReport& report, const std::vector<double>& written) {
    RequirementsReport measured = report;
    measured.shorter.clear();
    measured.designs = 0;
    MeasureReport(written, measured);
    return measured;
}

std::string WrittenShortfall(const RequirementsReport& report, const RequirementsReport& written) {
    if (!report.tolerances || !Meets(report) || Meets(written))
        return "";
    const Requirements& r = report.requirements;
    std::size_t worst = 0;
    double shortfall = -INFINITY;
    for (std::size_t i = 0; i < r.bands.size(); ++i) {
        const double miss = -FigureOf(r, r.bands[i], written.deviations[i]).marginDb;
        if (miss > shortfall) {
            shortfall = miss;
            worst = i;
        }
    }
    const Band& band = r.bands[worst];
    const BandFigure asWritten = FigureOf(r, band, written.deviations[worst]);
    const BandFigure inDouble = FigureOf(r, band, report.deviations[worst]);
    return std::string(asWritten.pass ? "pass " : "stop ") + Edges(band) + ": " +
           Decimals(asWritten.reachedDb, 2) + " dB as written, " + Decimals(inDouble.reachedDb, 2) +
           " dB in double (" + crt::FormatShortest(asWritten.askedDb) + " dB asked)";
}

WrittenReport ReportAsWritten(const RequirementsReport& report, const ExportFormat& format,
                              std::span<const double> taps, const FixedPointTaps* quantised) {
    const std::vector<double> written = WrittenTaps(format, taps, quantised);
    if (std::equal(written.begin(), written.end(), taps.begin(), taps.end()))
        return {DescribeReport(report), ""};
    const RequirementsReport measured = AsWritten(report, written);
    WrittenReport result{DescribeReport(measured), WrittenShortfall(report, measured)};
    result.description.notes.push_back("figures of the taps as " + std::string(format.name) +
                                       " writes them");
    return result;
}

TapsDescription DescribeReport(const RequirementsReport& report) {
    std::vector<std::string> lines = FormatReport(report);
    std::string title = std::move(lines.front());
    lines.erase(lines.begin());
    return {std::move(title), std::move(lines), report.requirements.rate};
}

// The delay and the length against linear phase's, and how far the zeros reach:
// "minimum phase: group delay 7.21 to 10.9 samples over the pass bands, mean 8.83, against 22.5
// for linear phase". The zeros' radius is not a number where they were too many to find.
void DescribePhase(const MinimumPhaseReport& phase, TapsDescription& description) {
    description.title = "minimum-phase " + description.title;
    description.notes.push_back("minimum phase: group delay " + crt::FormatG(phase.lowestDelay, 3) +
                                " to " + crt::FormatG(phase.highestDelay, 3) +
                                " samples over the pass bands, mean " +
                                crt::FormatG(phase.meanDelay, 3) + ", against " +
                                crt::FormatShortest(phase.linearDelay) + " for linear phase");
    // A window method's prototype may need more taps than its linear-phase design.
    std::string taps = crt::FormatD(std::abs(phase.tapsSaved)) +
                       (phase.tapsSaved < 0 ? " taps more than" : " taps saved on") +
                       " linear phase's " + crt::FormatD(phase.linearTaps);
    if (!std::isnan(phase.largestZeroRadius))
        taps += "; every zero within radius " + crt::FormatG(phase.largestZeroRadius, 6) +
                " of the origin";
    description.notes.push_back(taps);
}

} // namespace taplore
