#pragma once
// Dialog layouts are given in dialog units, so they scale with the dialog's font and DPI.

#include <QFont>

class QLabel;
class QString;
class QWidget;

// Converts dialog units to pixels through the font's base units: x*bx/4 and y*by/8.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int x) const { return (x * m_baseX + 2) / 4; }
    int Y(int y) const { return (y * m_baseY + 4) / 8; }
    // Places widget at a rectangle given in dialog units.
    void Place(QWidget* widget, int x, int y, int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};

// Grows widget by excess pixels, equally on both sides, so that its centre stays put; a
// widget that has the room (excess 0 or less) is left alone.
void WidenAboutCentre(QWidget* widget, int excess);

// The stand-in fonts run wider than the ones the layouts were drawn for: a centred label
// too narrow for text (by default its own) grows equally on both sides instead of cutting it.
void WidenToFitText(QLabel* label);
void WidenToFitText(QLabel* label, const QString& text);
