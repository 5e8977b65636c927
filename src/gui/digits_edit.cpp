#include "gui/digits_edit.h"

#include "gui/dialog_units.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// QLineEdit keeps this many pixels between its contents rectangle and the text on each side,
// and draws its cursor one pixel wide beyond the last character.
constexpr int kTextMargin = 2;
constexpr int kCursorWidth = 1;

} // namespace

void DigitsEdit::keyPressEvent(QKeyEvent* event) {
    // Shortcuts (Ctrl+V among them) and editing keys carry no printable text, or carry a
    // modifier, and pass.
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool digits =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (typed && !digits)
        return;
    QLineEdit::keyPressEvent(event);
}

void DigitsEdit::WidenToShowDigits(int digits) {
    const int needed = fontMetrics().horizontalAdvance(QString(digits, u'0')) + kCursorWidth;
    WidenAboutCentre(this, needed - TextRoom());
}

// The width the text is drawn in: the style's contents rectangle less the margins.
int DigitsEdit::TextRoom() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.width() - textMargins().left() - textMargins().right() - 2 * kTextMargin;
}
