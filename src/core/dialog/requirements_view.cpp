#include "core/dialog/requirements_view.h"

#include "core/dialog/readings.h"
#include "core/formats/crt.h"
#include "core/formats/gain_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace taplore {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Db(double value, int decimals) {
    return FixedText(value, decimals) + " dB";
}

} // namespace

std::string BandTitle(const Band& band) {
    // A pass band's gain other than 1 is what its ripple is relative to: it is named.
    const std::string gain = band.relative ? ", gain " + GainText(band) : "";
    return std::string(IsPassBand(band) ? "Pass, ripple, " : "Stop, attenuation, ") +
           crt::FormatShortest(band.lowHz) + " to " + crt::FormatShortest(band.highHz) + " Hz" +
           gain;
}

FigureTexts FigureTextsOf(const BandFigure& figure) {
    const int decimals = FigureDecimals(figure.reachedDb, figure.marginDb);
    return {crt::FormatShortest(figure.askedDb) + " dB", Db(figure.reachedDb, decimals),
            Db(figure.marginDb, decimals)};
}

std::string ShorterText(const RequirementsReport& report) {
    std::string text;
    for (const ShorterLength& shorter : report.shorter) {
        text += text.empty() ? "" : ", ";
        text += crt::FormatD(shorter.taps) + (text.empty() ? " taps miss by " : " taps by ");
        text += Db(LargestShortfallDb(report.requirements, shorter.deviations), 2);
    }
    return text;
}

std::string RangeSummary(const ViewInfo& info, std::span<const double> values) {
    double low = kInf, high = -kInf;
    for (const double value : values)
        if (std::isfinite(value)) {
            low = std::min(low, value);
            high = std::max(high, value);
        }
    if (low > high)
        return std::string(info.title) + ": no finite value.";
    return std::string(info.title) + " from " + crt::FormatG(low, 4) + " to " +
           crt::FormatG(high, 4) + (info.unit.empty() ? "" : " ") + std::string(info.unit) + ".";
}

std::vector<ViewInfo> SecondViews() {
    std::vector<ViewInfo> views;
    for (const ViewInfo& info : Views())
        if (info.view != View::magnitude)
            views.push_back(info);
    return views;
}

MagnitudeRanges MagnitudeRangesOf(std::span<const RequiredBand> bands, double rate, bool zoomed) {
    double deepest = 0, passLow = kInf, passHigh = -kInf, passLowHz = kInf, passHighHz = -kInf;
    for (const RequiredBand& band : bands) {
        if (std::isfinite(band.floorDb)) {
            passLow = std::min(passLow, band.floorDb);
            passHigh = std::max(passHigh, band.ceilingDb);
            passLowHz = std::min(passLowHz, band.lowHz);
            passHighHz = std::max(passHighHz, band.highHz);
        } else {
            deepest = std::min(deepest, band.ceilingDb);
        }
    }
    if (!zoomed || !(passLow < passHigh))
        return {std::floor((deepest - 40) / 10) * 10, 10, 0, rate / 2};
    const double pad = (passHigh - passLow) / 2, padHz = (passHighHz - passLowHz) / 20;
    return {passLow - pad, passHigh + pad, std::max(0.0, passLowHz - padHz),
            std::min(rate / 2, passHighHz + padHz)};
}

} // namespace taplore
