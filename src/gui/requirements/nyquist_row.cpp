#include "gui/requirements/nyquist_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

// Below 2 the spin box says Off: an L-th band starts at the half-band.
constexpr int kOff = 1;
// Two digits keep the box narrow; the longest designs reach few L-th bands beyond.
constexpr int kMostBand = 99;

} // namespace

CNyquistRow::CNyquistRow(QWidget* parent) : QWidget(parent) {
    m_spinBand = new QSpinBox(this);
    m_spinBand->setObjectName("spinNyquist");
    m_spinBand->setRange(kOff, kMostBand);
    m_spinBand->setSpecialValueText("Off");
    m_spinBand->setAccessibleName("Nyquist band L");
    m_spinBand->setToolTip("An L-th-band low-pass: every L-th tap from the centre exactly 0, "
                           "the centre 1/L, the stop band from rate / L less the pass band's "
                           "edge (2: a half-band)");
    // Every letter of the window has its control already: the label takes none.
    auto* label = new QLabel("Nyquist:", this);
    label->setBuddy(m_spinBand);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_spinBand);
    connect(m_spinBand, &QSpinBox::valueChanged, this, &CNyquistRow::changed);
}

int CNyquistRow::Band() const {
    return m_spinBand->value() == kOff ? 0 : m_spinBand->value();
}

void CNyquistRow::SetBand(int band) {
    m_spinBand->setValue(band < 2 ? kOff : band);
}
