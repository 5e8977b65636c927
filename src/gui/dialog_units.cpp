#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

void DialogUnits::Place(QWidget* widget, int x, int y, int cx, int cy) const {
    widget->setGeometry(X(x), Y(y), X(cx), Y(cy));
}

void WidenToFitText(QLabel* label) {
    WidenToFitText(label, label->text());
}

void WidenAboutCentre(QWidget* widget, int excess) {
    if (excess > 0)
        widget->setGeometry(widget->geometry().adjusted(-(excess + 1) / 2, 0, (excess + 1) / 2, 0));
}

void WidenToFitText(QLabel* label, const QString& text) {
    const int frame = label->width() - label->contentsRect().width();
    WidenAboutCentre(label, label->fontMetrics().horizontalAdvance(text) + frame - label->width());
}
