#include "platform/controls.h"

#include "platform/qt_widgets.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

void CStatic::SetWindowText(const std::string& text) {
    m_pLabel->setText(QString::fromStdString(text));
}

std::string CStatic::GetWindowText() const {
    return m_pLabel->text().toStdString();
}

void CSliderCtrl::SetRange(int nMin, int nMax, bool /*bRedraw*/) {
    const QSignalBlocker quiet(m_pSlider);
    m_pSlider->setRange(nMin, nMax);
    m_pSlider->setPageStep(std::max(1, (nMax - nMin) / 5));
}

void CSliderCtrl::SetPos(int nPos) {
    const QSignalBlocker quiet(m_pSlider);
    m_pSlider->setValue(nPos);
}

int CSliderCtrl::GetPos() const {
    return m_pSlider->value();
}

int CSliderCtrl::GetRangeMax() const {
    return m_pSlider->maximum();
}

void CListBox::ResetContent() {
    m_pList->SetValues(nullptr, 0);
}

void CListBox::ShowValues(std::shared_ptr<const double[]> values, int count) {
    m_pList->SetValues(std::move(values), count);
}

int CListBox::GetCount() const {
    return m_pList->Count();
}

std::string CListBox::GetText(int index) const {
    return m_pList->Text(index).toStdString();
}
