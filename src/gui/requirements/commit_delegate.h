#pragma once
// The band table's editors commit on Enter at once. Qt's own delegate commits on a queued call,
// so that keys typed fast after Enter still reached the old editor ("6000" then "150" made
// "6000150"), and its late commit came after the view had closed that editor.

#include <QStyledItemDelegate>

class CommitDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};
