#include "core/formats/svg_text.h"

#include "core/formats/crt.h"

#include <algorithm>
#include <cmath>

namespace taplore::svg {

std::string Coordinate(double value) {
    return crt::FormatShortest(std::round(value * 100) / 100);
}

std::string Attribute(std::string_view name, double value) {
    std::string text = " ";
    text.append(name).append("=\"").append(Coordinate(value)).append("\"");
    return text;
}

void AppendLine(std::string& svg, double x1, double y1, double x2, double y2) {
    svg += "<line" + Attribute("x1", x1) + Attribute("y1", y1) + Attribute("x2", x2) +
           Attribute("y2", y2) + "/>\n";
}

std::string XmlText(std::string_view text) {
    std::string xml;
    for (const char c : text) {
        if (c == '&')
            xml += "&amp;";
        else if (c == '<')
            xml += "&lt;";
        else if (c == '>')
            xml += "&gt;";
        else
            xml += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return xml;
}

void AppendText(std::string& svg, double x, double y, std::string_view anchor,
                std::string_view text) {
    svg += "<text" + Attribute("x", x) + Attribute("y", y) + " text-anchor=\"" +
           std::string(anchor) + "\">" + XmlText(text) + "</text>\n";
}

std::string DocumentHead(int width, int height, const std::string& title) {
    const std::string size =
        "width=\"" + crt::FormatD(width) + "\" height=\"" + crt::FormatD(height) + "\"";
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" " +
                      size + " viewBox=\"0 0 " + crt::FormatD(width) + " " + crt::FormatD(height) +
                      "\" font-family=\"DejaVu Sans, sans-serif\" font-size=\"12\">\n";
    svg += "<title>" + XmlText(title) + "</title>\n";
    svg += "<rect " + size + " fill=\"#ffffff\"/>\n";
    // DejaVu Sans at 14 px takes about 7.2 px a character: a longer title is set smaller, to
    // fit the width rather than be cut off at both ends.
    const double fits = (width - 20.0) / (7.5 * static_cast<double>(title.size()));
    svg += "<g" + Attribute("font-size", 14 * std::min(1.0, fits)) + ">\n";
    AppendText(svg, width / 2.0, 24, "middle", title);
    svg += "</g>\n";
    return svg;
}

} // namespace taplore::svg
