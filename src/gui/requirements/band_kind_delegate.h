#pragma once
// Edits a band's kind in the band table with a list of the two kinds, so that the keyboard
// alone picks one.

#include "gui/requirements/commit_delegate.h"

class BandKindDelegate : public CommitDelegate {
    Q_OBJECT

public:
    using CommitDelegate::CommitDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
