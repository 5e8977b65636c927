#pragma once
// Wrappers for the controls of a dialog template, bound to them by identifier.

#include <memory>
#include <string>

class QLabel;
class QSlider;
class ValueList;

class CStatic {
public:
    void Attach(QLabel* pLabel) { m_pLabel = pLabel; }
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

private:
    QLabel* m_pLabel = nullptr;
};

// Range and position set from code raise no notification; user movements do.
class CSliderCtrl {
public:
    void Attach(QSlider* pSlider) { m_pSlider = pSlider; }
    void SetRange(int nMin, int nMax, bool bRedraw = false);
    void SetPos(int nPos);
    int GetPos() const;
    int GetRangeMax() const;

private:
    QSlider* m_pSlider = nullptr;
};

// An unsorted list that shows a shared, read-only array of values, one "%f" row each.
class CListBox {
public:
    void Attach(ValueList* pList) { m_pList = pList; }
    void ResetContent();
    void ShowValues(std::shared_ptr<const double[]> values, int count);
    int GetCount() const;
    std::string GetText(int index) const;

private:
    ValueList* m_pList = nullptr;
};
