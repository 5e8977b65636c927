#include "x_probe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace e2e {

XProbe::XProbe() : m_display(XOpenDisplay(nullptr)) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!m_display || !XTestQueryExtension(m_display, &event, &error, &major, &minor))
        throw std::runtime_error("no X display with the XTEST extension");
}

XProbe::~XProbe() {
    XCloseDisplay(m_display);
}

std::vector<std::uint32_t> XProbe::Pixels(const Rect& area) const {
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), area.x, area.y,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                              AllPlanes, ZPixmap);
    std::vector<std::uint32_t> pixels;
    if (!image)
        return pixels;
    pixels.reserve(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height));
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
    XDestroyImage(image);
    return pixels;
}

std::optional<FractionalMillis> XProbe::TimeKeyToChange(const std::string& key,
                                                        const std::vector<Rect>& areas,
                                                        Millis timeout) const {
    std::vector<std::vector<std::uint32_t>> before;
    for (const Rect& area : areas)
        before.push_back(Pixels(area));
    const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(key.c_str()));
    if (code == 0)
        throw std::runtime_error("no key " + key);
    const auto start = std::chrono::steady_clock::now();
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XFlush(m_display);
    std::vector<bool> changed(areas.size(), false);
    for (;;) {
        bool all = true;
        for (std::size_t i = 0; i < areas.size(); ++i) {
            if (!changed[i])
                changed[i] = Pixels(areas[i]) != before[i];
            all = all && changed[i];
        }
        const auto now = std::chrono::steady_clock::now();
        if (all)
            return FractionalMillis(now - start);
        if (now - start > timeout)
            return std::nullopt;
    }
}

} // namespace e2e
