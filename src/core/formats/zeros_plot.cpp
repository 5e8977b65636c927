#include "core/formats/zeros_plot.h"

#include "core/analysis/views.h"
#include "core/formats/crt.h"
#include "core/formats/svg_text.h"

#include <algorithm>
#include <cmath>

namespace taplore {

namespace {

using namespace svg;

// The panel: a square as tall as the magnitude plot is wide, centred under the title.
constexpr int kSide = 420;
constexpr int kImageWidth = 700;
constexpr int kLeft = (kImageWidth - kSide) / 2;
constexpr int kTop = 70;
constexpr int kImageHeight = kTop + kSide + 60;
// The reach of the panel from the origin: the unit circle with a margin, at most four times it.
constexpr double kLeast = 1.25;
constexpr double kMost = 4.0;

// The panel's reach from the origin, widened to whole steps, and its step.
struct Scale {
    double reach, step;

    double X(double re) const { return (re + reach) / (2 * reach) * kSide; }
    double Y(double im) const { return (reach - im) / (2 * reach) * kSide; }
    bool Holds(std::complex<double> z) const {
        return std::fabs(z.real()) <= reach && std::fabs(z.imag()) <= reach;
    }
};

Scale ScaleFor(const TapZeros& zeros) {
    double farthest = kLeast;
    for (const std::complex<double> zero : zeros.zeros)
        farthest =
            std::max({farthest, std::fabs(zero.real()) * 1.05, std::fabs(zero.imag()) * 1.05});
    farthest = std::min(farthest, kMost);
    const double step = TickStep(2 * farthest, 8);
    return {std::ceil(farthest / step) * step, step};
}

// The grid on each tick, the axes through the origin and the unit circle.
void AppendGrid(std::string& svg, const Scale& scale) {
    svg += "<rect width=\"" + crt::FormatD(kSide) + "\" height=\"" + crt::FormatD(kSide) +
           "\" fill=\"#000000\"/>\n";
    const int ticks = static_cast<int>(std::lround(scale.reach / scale.step));
    svg += "<g stroke=\"#00ff00\" stroke-width=\"1\" stroke-dasharray=\"1 2\">\n";
    for (int k = -ticks; k <= ticks; ++k) {
        const double at = k * scale.step;
        if (k != 0) {
            AppendLine(svg, scale.X(at), 0, scale.X(at), kSide);
            AppendLine(svg, 0, scale.Y(at), kSide, scale.Y(at));
        }
    }
    svg += "</g>\n<g stroke=\"#00ff00\" stroke-width=\"1\" fill=\"none\">\n";
    AppendLine(svg, scale.X(0), 0, scale.X(0), kSide);
    AppendLine(svg, 0, scale.Y(0), kSide, scale.Y(0));
    svg += "<circle" + Attribute("cx", scale.X(0)) + Attribute("cy", scale.Y(0)) +
           Attribute("r", scale.X(1) - scale.X(0)) + " stroke-width=\"1.5\"/>\n</g>\n";
}

// Each zero within the panel as a ring; returns how many lie beyond it.
int AppendZeros(std::string& svg, const Scale& scale, const TapZeros& zeros) {
    int beyond = 0;
    svg += "<g stroke=\"#ff0000\" stroke-width=\"2\" fill=\"none\">\n";
    for (const std::complex<double> zero : zeros.zeros) {
        if (!scale.Holds(zero)) {
            ++beyond;
            continue;
        }
        svg += "<circle" + Attribute("cx", scale.X(zero.real())) +
               Attribute("cy", scale.Y(zero.imag())) + " r=\"4\"/>\n";
    }
    svg += "</g>\n";
    return beyond;
}

// Tick k's label with no more decimals than the step has, and never "-0".
std::string TickLabel(const Scale& scale, int k) {
    const double decimals = std::max(0.0, -std::floor(std::log10(scale.step)));
    const double power = std::pow(10.0, decimals);
    return crt::FormatShortest(std::round(k * scale.step * power) / power + 0.0);
}

void AppendAxes(std::string& svg, const Scale& scale) {
    const int ticks = static_cast<int>(std::lround(scale.reach / scale.step));
    svg += "<g fill=\"#000000\">\n";
    for (int k = -ticks; k <= ticks; ++k) {
        AppendText(svg, scale.X(k * scale.step), kSide + 16, "middle", TickLabel(scale, k));
        AppendText(svg, -6, scale.Y(k * scale.step) + 4, "end", TickLabel(scale, k));
    }
    AppendText(svg, kSide / 2.0, kSide + 36, "middle", "Real part");
    svg += "<text transform=\"translate(-48 " + Coordinate(kSide / 2.0) +
           ") rotate(-90)\" text-anchor=\"middle\">Imaginary part</text>\n";
    svg += "</g>\n";
}

// "1022 zeros, 3 beyond the panel, 1 at infinity"
std::string Caption(const TapZeros& zeros, int beyond) {
    const auto count = static_cast<int>(zeros.zeros.size());
    std::string caption = crt::FormatD(count) + (count == 1 ? " zero" : " zeros");
    if (beyond > 0)
        caption += ", " + crt::FormatD(beyond) + " beyond the panel";
    if (zeros.atInfinity > 0)
        caption += ", " + crt::FormatD(zeros.atInfinity) + " at infinity";
    return caption;
}

} // namespace

std::string FormatZerosSvg(const TapsDescription& description, const TapZeros& zeros) {
    const Scale scale = ScaleFor(zeros);
    std::string svg = DocumentHead(kImageWidth, kImageHeight, "Zeros: " + description.title);
    svg += "<defs><clipPath id=\"zplane\"><rect width=\"" + crt::FormatD(kSide) + "\" height=\"" +
           crt::FormatD(kSide) + "\"/></clipPath></defs>\n";
    svg += "<g transform=\"translate(" + crt::FormatD(kLeft) + " " + crt::FormatD(kTop) + ")\">\n";
    AppendGrid(svg, scale);
    svg += "<g clip-path=\"url(#zplane)\">\n";
    const int beyond = AppendZeros(svg, scale, zeros);
    svg += "</g>\n<g fill=\"#000000\">\n";
    AppendText(svg, 0, -8, "start", "Zeros in the z-plane: " + Caption(zeros, beyond));
    svg += "</g>\n";
    AppendAxes(svg, scale);
    svg += "</g>\n</svg>\n";
    return svg;
}

} // namespace taplore
