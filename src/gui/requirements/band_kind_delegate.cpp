#include "gui/requirements/band_kind_delegate.h"

#include <QComboBox>

QWidget* BandKindDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                        const QModelIndex& /*index*/) const {
    auto* kinds = new QComboBox(parent);
    kinds->addItems({"pass", "stop"});
    return kinds;
}

void BandKindDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
}

void BandKindDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText());
}
