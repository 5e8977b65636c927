#pragma once
// The Qt widgets behind the platform's window objects. Private to src/platform.

#include <QAbstractScrollArea>
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
    void RequestContextMenuFromKeyboard();
};

// An edit that refuses typed characters other than digits; pasted text is not filtered.
class DigitsLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// An unsorted list of doubles, one "%f" row each, drawn only for the rows in view. It keeps
// nothing per row, so a million values list at once and cost only the shared array.
class ValueList : public QAbstractScrollArea {
public:
    explicit ValueList(QWidget* pParent = nullptr);

    void SetValues(std::shared_ptr<const double[]> values, int count);
    int Count() const { return m_count; }
    QString Text(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int RowHeight() const;
    int VisibleRows() const;
    int FirstRow() const;
    void UpdateScrollRange();
    void SetCurrent(int row);

    std::shared_ptr<const double[]> m_values;
    int m_count = 0;
    int m_current = -1;
};
