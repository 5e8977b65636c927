#pragma once
// The Qt widgets behind the platform's window objects. Private to src/platform.

#include <QAbstractListModel>
#include <QDialog>
#include <QLineEdit>
#include <QWidget>

#include <memory>

class CWnd;
class CDialog;

// A widget that calls back into its window object until that object is gone.
class OwnedWidget {
public:
    void Disown() { m_pOwner = nullptr; }

protected:
    explicit OwnedWidget(CWnd* pOwner) : m_pOwner(pOwner) {}
    CWnd* m_pOwner;
};

// Plain child window: the paint handler covers the whole area, so nothing is erased first.
class ChildWidget : public QWidget, public OwnedWidget {
public:
    ChildWidget(CWnd* pOwner, QWidget* pParent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class DialogWidget : public QDialog, public OwnedWidget {
public:
    DialogWidget(CDialog* pOwner, QWidget* pParent);
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CDialog* Owner() const;
};

// An edit that refuses typed characters other than digits; pasted text is not filtered.
class DigitsLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A list of doubles shown with "%f", formatted only when a row is drawn.
class ValueListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void SetValues(std::shared_ptr<const double[]> values, int count);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::shared_ptr<const double[]> m_values;
    int m_count = 0;
};
