#include "gui/value_list.h"

#include "core/dialog/design_dialog.h"
#include "gui/value_list_accessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

ValueList::ValueList(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    static const bool accessible = (ValueListAccessible::InstallFactory(), true);
    (void)accessible;
}

void ValueList::setValues(std::shared_ptr<const double[]> values, int count) {
    m_values = std::move(values);
    m_count = m_values ? count : 0;
    m_current = -1;
    verticalScrollBar()->setValue(0);
    UpdateScrollRange();
    viewport()->update();
    QAccessibleEvent reset(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reset);
}

QString ValueList::text(int row) const {
    return row >= 0 && row < m_count ? QString::fromStdString(taplore::ListItemText(m_values[row]))
                                     : QString();
}

int ValueList::RowHeight() const {
    return fontMetrics().height();
}

int ValueList::VisibleRows() const {
    return std::max(1, viewport()->height() / RowHeight());
}

int ValueList::FirstRow() const {
    return verticalScrollBar()->value();
}

void ValueList::UpdateScrollRange() {
    verticalScrollBar()->setRange(0, std::max(0, m_count - VisibleRows()));
    verticalScrollBar()->setPageStep(VisibleRows());
}

void ValueList::SetCurrent(int row) {
    if (m_count == 0)
        return;
    m_current = std::clamp(row, 0, m_count - 1);
    if (m_current < FirstRow())
        verticalScrollBar()->setValue(m_current);
    else if (m_current >= FirstRow() + VisibleRows())
        verticalScrollBar()->setValue(m_current - VisibleRows() + 1);
    viewport()->update();
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(m_current);
    QAccessible::updateAccessibility(&focus);
}

void ValueList::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    const int height = RowHeight();
    const int last = std::min(m_count, FirstRow() + VisibleRows() + 1);
    for (int row = FirstRow(), y = 0; row < last; ++row, y += height) {
        const QRect rect(0, y, viewport()->width(), height);
        const bool current = row == m_current;
        if (current)
            painter.fillRect(rect, palette().highlight());
        painter.setPen(palette().color(current ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text(row));
    }
    if (hasFocus())
        DrawFocus(painter);
}

// A keyboard user must see where they are: the style's focus frame around the current row,
// or around the first while none is current (also in an empty list). Shown whichever way the
// focus came, since the list has it from start-up.
void ValueList::DrawFocus(QPainter& painter) const {
    const int row = std::max(m_current, 0) - FirstRow();
    if (row < 0 || row > VisibleRows())
        return;
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.state |= QStyle::State_KeyboardFocusChange;
    option.rect = QRect(0, row * RowHeight(), viewport()->width(), RowHeight());
    option.backgroundColor = palette().color(m_current >= 0 ? QPalette::Highlight : QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void ValueList::keyPressEvent(QKeyEvent* event) {
    const int page = VisibleRows();
    switch (event->key()) {
    case Qt::Key_Up:
        return SetCurrent(m_current - 1);
    case Qt::Key_Down:
        return SetCurrent(m_current + 1);
    case Qt::Key_PageUp:
        return SetCurrent(m_current - page);
    case Qt::Key_PageDown:
        return SetCurrent(m_current + page);
    case Qt::Key_Home:
        return SetCurrent(0);
    case Qt::Key_End:
        return SetCurrent(m_count - 1);
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void ValueList::mousePressEvent(QMouseEvent* event) {
    const int row = FirstRow() + event->position().toPoint().y() / RowHeight();
    if (row < m_count)
        SetCurrent(row);
}

// The focus frame is drawn on the viewport, which the scroll area alone would not repaint.
void ValueList::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ValueList::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void ValueList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void ValueList::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
}
