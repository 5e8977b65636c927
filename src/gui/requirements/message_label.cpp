#include "gui/requirements/message_label.h"

MessageLabel::MessageLabel(QWidget* parent, const QString& accessibleName, Kind kind)
    : QLabel(parent) {
    setWordWrap(true);
    setFixedHeight(fontMetrics().lineSpacing() * 2 + 2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (kind == Kind::problem)
        setStyleSheet("color: #c80000");
    setAccessibleName(accessibleName);
}
