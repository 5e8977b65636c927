#pragma once
// A dialog described as data: controls with rectangles in dialog units, in template order.
// Template order is also the tab order of the controls that are tab stops.

#include <vector>

enum class ControlKind { text, frame, icon, listBox, edit, trackbar, pushButton, groupBox };

// Style details that matter on this platform.
enum ControlStyle : unsigned {
    styleNone = 0,
    styleTabStop = 1u << 0,
    styleDefaultButton = 1u << 1,
    styleDigitsOnly = 1u << 2,
    styleCentred = 1u << 3, // text centred horizontally (and vertically for labels)
    styleBorder = 1u << 4,
    styleTicksOnTop = 1u << 5,
};

struct ControlTemplate {
    int id; // -1 for controls the program never addresses
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;
    unsigned style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy;
    const char* fontFamily;
    int pointSize;
    bool minimizeBox;
    std::vector<ControlTemplate> controls;
};

// The templates of the program's resources, by number.
const DialogTemplate& FindDialogTemplate(int id);
