#include "gui/requirements/faded.h"

#include <QTableWidget>

namespace {

constexpr int kFadedAlpha = 100;

} // namespace

void FadeText(QWidget* widget, bool faded) {
    QPalette palette = widget->parentWidget()->palette();
    if (faded)
        palette.setColor(QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
    widget->setPalette(palette);
}

void FadeFigures(QTableWidget* table, bool faded) {
    FadeText(table, faded);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 2; column < table->columnCount(); ++column) {
            QTableWidgetItem* item = table->item(row, column);
            QColor colour = item->foreground().color();
            colour.setAlpha(faded ? kFadedAlpha : 255);
            item->setForeground(colour);
        }
}
