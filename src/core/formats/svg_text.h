#pragma once
// The pieces every SVG image of the program is written with: coordinates, attributes, lines,
// texts and the document's head, "." decimals whatever the locale.

#include <string>
#include <string_view>

namespace taplore::svg {

// Two decimals are finer than any screen or printer shows.
std::string Coordinate(double value);

// ` name="value"`, the value a Coordinate.
std::string Attribute(std::string_view name, double value);

void AppendLine(std::string& svg, double x1, double y1, double x2, double y2);

// Text for the image: the characters XML gives a meaning written as references, any other
// control character (which XML does not allow) as a blank.
std::string XmlText(std::string_view text);

// A text at (x, y), anchored "start", "middle" or "end".
void AppendText(std::string& svg, double x, double y, std::string_view anchor,
                std::string_view text);

// The image's start: its size, the title in its metadata and centred above the plots, and the
// white page the plots lie on.
std::string DocumentHead(int width, int height, const std::string& title);

} // namespace taplore::svg
