#pragma once
// The coefficient list: an unsorted list of doubles, one "%f" row each, drawn only for the
// rows in view. It keeps nothing per row, so a million values list at once and cost only
// the shared array.

#include <QAbstractScrollArea>

#include <memory>

class QPainter;

class ValueList : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit ValueList(QWidget* parent);

    // Shows count values of an array the list shares but never changes; null empties it.
    void setValues(std::shared_ptr<const double[]> values, int count);
    int count() const { return m_count; }
    QString text(int row) const;
    int currentRow() const { return m_current; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int RowHeight() const;
    int VisibleRows() const;
    int FirstRow() const;
    void UpdateScrollRange();
    void DrawFocus(QPainter& painter) const;
    void SetCurrent(int row);

    std::shared_ptr<const double[]> m_values;
    int m_count = 0;
    int m_current = -1;
};
