#include "gui/focus_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

void FocusButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QStyleOptionButton button;
    initStyleOption(&button);
    // The style draws the frame only once the keyboard has moved the focus, as it should.
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &button, this);
    frame.backgroundColor = palette().button().color();
    QStylePainter painter(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}
