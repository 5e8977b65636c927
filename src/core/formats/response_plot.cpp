#include "core/formats/response_plot.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>

namespace {

// The plot area: ten grid steps each way, so a vertical line falls on every twentieth of the
// rate and a horizontal one on every 10 dB.
constexpr int kWidth = 600;
constexpr int kHeight = 300;
constexpr int kXStep = kWidth / 10;
constexpr int kYStep = kHeight / 10;
constexpr int kZeroDbY = 10;
// Where the plot area sits in the image, and the image's size.
constexpr int kLeft = 70;
constexpr int kTop = 40;
constexpr int kImageWidth = kLeft + kWidth + 30;
constexpr int kImageHeight = kTop + kHeight + 75;

constexpr std::string_view kCurveColour = "#ff0000";
constexpr std::string_view kQuantisedColour = "#00c0ff";

// Two decimals are finer than any screen or printer shows.
std::string Coordinate(double value) {
    return crt::FormatShortest(std::round(value * 100) / 100);
}

std::string Attribute(std::string_view name, double value) {
    std::string text = " ";
    text.append(name).append("=\"").append(Coordinate(value)).append("\"");
    return text;
}

// The dialog's scale. A bin that is not a number lies on the top edge, as in the dialog; any
// other level beyond the plot is held just outside it, where the clip hides it.
double LevelY(double db) {
    if (std::isnan(db))
        return 0.0;
    return std::clamp(kZeroDbY - db * kYStep * 0.1, -5.0, kHeight + 5.0);
}

void AppendLine(std::string& svg, double x1, double y1, double x2, double y2) {
    svg += "<line" + Attribute("x1", x1) + Attribute("y1", y1) + Attribute("x2", x2) +
           Attribute("y2", y2) + "/>\n";
}

void AppendText(std::string& svg, double x, double y, std::string_view anchor,
                std::string_view text) {
    svg += "<text" + Attribute("x", x) + Attribute("y", y) + " text-anchor=\"" +
           std::string(anchor) + "\">" + std::string(text) + "</text>\n";
}

void AppendGrid(std::string& svg) {
    svg += "<rect width=\"" + crt::FormatD(kWidth) + "\" height=\"" + crt::FormatD(kHeight) +
           "\" fill=\"#000000\"/>\n";
    svg += "<g stroke=\"#00ff00\" stroke-width=\"1\" stroke-dasharray=\"1 2\">\n";
    for (int x = 0; x <= kWidth; x += kXStep)
        AppendLine(svg, x + 0.5, 0, x + 0.5, kHeight);
    for (int y = kZeroDbY; y < kHeight; y += kYStep)
        AppendLine(svg, 0, y + 0.5, kWidth, y + 0.5);
    svg += "</g>\n";
}

void AppendCurve(std::string& svg, const SpectrumLevels& levelsDb, std::string_view colour,
                 int width) {
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"" +
           crt::FormatD(width) + "\" stroke-linejoin=\"round\" points=\"";
    for (int i = 0; i < kSpectrumBins; ++i) {
        svg += i ? " " : "";
        svg +=
            Coordinate(double(i) * kWidth / kSpectrumBins) + "," + Coordinate(LevelY(levelsDb[i]));
    }
    svg += "\"/>\n";
}

void AppendAxes(std::string& svg, double rate) {
    svg += "<g fill=\"#000000\">\n";
    for (int k = 0; k <= 10; ++k)
        AppendText(svg, kLeft + k * kXStep, kTop + kHeight + 16, "middle",
                   crt::FormatShortest(k * rate / 20));
    for (int k = 0; k * kYStep + kZeroDbY < kHeight; ++k)
        AppendText(svg, kLeft - 6, kTop + kZeroDbY + k * kYStep + 4, "end", crt::FormatD(-10 * k));
    AppendText(svg, kLeft + kWidth / 2.0, kTop + kHeight + 36, "middle", "Frequency (Hz)");
    svg += "<text transform=\"translate(18 " + Coordinate(kTop + kHeight / 2.0) +
           ") rotate(-90)\" text-anchor=\"middle\">Level (dB)</text>\n";
    svg += "</g>\n";
}

void AppendLegendEntry(std::string& svg, double x, std::string_view colour,
                       std::string_view label) {
    const double y = kTop + kHeight + 60;
    svg += "<g stroke=\"" + std::string(colour) + "\" stroke-width=\"3\">\n";
    AppendLine(svg, x, y - 4, x + 24, y - 4);
    svg += "</g>\n";
    svg += "<g fill=\"#000000\">\n";
    AppendText(svg, x + 30, y, "start", label);
    svg += "</g>\n";
}

} // namespace

std::string FormatResponseSvg(const taplore::TapsDescription& description,
                              const SpectrumLevels& levelsDb, const SpectrumLevels* quantisedDb,
                              std::string_view quantisedLabel) {
    const std::string size =
        "width=\"" + crt::FormatD(kImageWidth) + "\" height=\"" + crt::FormatD(kImageHeight) + "\"";
    const std::string title = "Log-magnitude response: " + description.title;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" " +
                      size + " viewBox=\"0 0 " + crt::FormatD(kImageWidth) + " " +
                      crt::FormatD(kImageHeight) +
                      "\" font-family=\"DejaVu Sans, sans-serif\" font-size=\"12\">\n";
    svg += "<title>" + title + "</title>\n";
    svg += "<rect " + size + " fill=\"#ffffff\"/>\n";
    svg += "<g font-size=\"14\">\n";
    AppendText(svg, kImageWidth / 2.0, 24, "middle", title);
    svg += "</g>\n";
    svg += "<defs><clipPath id=\"plot\"><rect width=\"" + crt::FormatD(kWidth) + "\" height=\"" +
           crt::FormatD(kHeight) + "\"/></clipPath></defs>\n";
    svg += "<g transform=\"translate(" + crt::FormatD(kLeft) + " " + crt::FormatD(kTop) + ")\">\n";
    AppendGrid(svg);
    svg += "<g clip-path=\"url(#plot)\">\n";
    // The double curve on top: the quantised one shows only where it departs from it.
    if (quantisedDb)
        AppendCurve(svg, *quantisedDb, kQuantisedColour, 1);
    AppendCurve(svg, levelsDb, kCurveColour, 2);
    svg += "</g>\n</g>\n";
    AppendAxes(svg, description.rate);
    if (quantisedDb) {
        AppendLegendEntry(svg, kLeft, kCurveColour, "double taps");
        AppendLegendEntry(svg, kLeft + 160, kQuantisedColour, quantisedLabel);
    }
    svg += "</svg>\n";
    return svg;
}
