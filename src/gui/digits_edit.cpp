#include "gui/digits_edit.h"

#include <QKeyEvent>

#include <algorithm>

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
