#include "gui/requirements/message_label.h"

MessageLabel::MessageLabel(QWidget* parent, const QString& accessibleName, Kind kind, int lines)
    : QLabel(parent) {
    setWordWrap(lines > 1);
    setFixedHeight(fontMetrics().lineSpacing() * lines + 2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (kind == Kind::problem)
        setStyleSheet("color: #c80000");
    setAccessibleName(accessibleName);
}
