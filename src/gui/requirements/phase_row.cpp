#include "gui/requirements/phase_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

CPhaseRow::CPhaseRow(QWidget* parent) : QWidget(parent) {
    m_radioLinear = new QRadioButton("Li&near", this);
    m_radioMinimum = new QRadioButton("Minim&um", this);
    m_radioLinear->setObjectName("radioLinear");
    m_radioMinimum->setObjectName("radioMinimum");
    m_radioLinear->setToolTip("Symmetric taps: a delay of half the length at every frequency");
    m_radioMinimum->setToolTip("The same magnitude from taps whose energy comes first: less "
                               "delay, and usually fewer taps");
    m_radioLinear->setAccessibleName("Linear phase");
    m_radioMinimum->setAccessibleName("Minimum phase");
    // Exclusive among themselves, as children of their own row, not with the length's.
    m_radioLinear->setChecked(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Phase:", this));
    layout->addWidget(m_radioLinear);
    layout->addWidget(m_radioMinimum);
    connect(m_radioMinimum, &QRadioButton::toggled, this, &CPhaseRow::changed);
}

bool CPhaseRow::Minimum() const {
    return m_radioMinimum->isChecked();
}

void CPhaseRow::SetMinimum(bool minimum) {
    (minimum ? m_radioMinimum : m_radioLinear)->setChecked(true);
}
