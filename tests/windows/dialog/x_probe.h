#pragma once
// A direct connection to the X server, for timing what a key changes on the screen: the key
// goes in through XTEST and the screen's pixels are read back until they change, all on the
// test's own clock.

#include "x_session.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace e2e {

using FractionalMillis = std::chrono::duration<double, std::milli>;

class XProbe {
public:
    XProbe(); // on $DISPLAY
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    // The pixels of a screen rectangle, row by row.
    std::vector<std::uint32_t> Pixels(const Rect& area) const;

    // Presses and releases the key (an X keysym name such as "Return") and returns how long
    // it took until every area showed other pixels than just before the key; nothing when
    // the timeout passed first.
    std::optional<FractionalMillis>
    TimeKeyToChange(const std::string& key, const std::vector<Rect>& areas, Millis timeout) const;

private:
    _XDisplay* m_display;
};

} // namespace e2e
