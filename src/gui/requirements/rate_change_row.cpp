#include "gui/requirements/rate_change_row.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// The combo's entries, in order: none, then the two changes.
enum Entry { none, decimate, interpolate };

} // namespace

// No mnemonics: the window's other controls hold every letter.
CRateChangeRow::CRateChangeRow(QWidget* parent) : QWidget(parent) {
    m_comboChange = new QComboBox(this);
    m_comboChange->addItems({"No rate change", "Decimate by", "Interpolate by"});
    m_comboChange->setObjectName("comboRateChange");
    m_comboChange->setAccessibleName("Rate change");
    m_comboChange->setToolTip("A filter for a change of rate: the rate above is the high one");
    m_spinFactor = new QSpinBox(this);
    m_spinFactor->setObjectName("spinRateFactor");
    m_spinFactor->setAccessibleName("Rate change factor");
    m_spinFactor->setRange(2, 4096);
    m_editStages = new QLineEdit("1", this);
    m_editStages->setObjectName("editStages");
    m_editStages->setAccessibleName("Stages");
    m_editStages->setToolTip("auto, a count of stages, or their factors from the high rate down, "
                             "as 4x4x3");
    m_editStages->setMaximumWidth(60);
    m_editCic = new QLineEdit(this);
    m_editCic->setObjectName("editCic");
    m_editCic->setAccessibleName("CIC");
    m_editCic->setPlaceholderText("none");
    m_editCic->setToolTip("The CIC decimator this filter follows, as stages:factor:delay (4:16:1), "
                          "for its compensator; empty for none. The rate is then the CIC's "
                          "output rate, this filter's input rate");
    m_editCic->setMaximumWidth(60);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_comboChange);
    layout->addWidget(m_spinFactor);
    layout->addWidget(new QLabel("Stages:", this));
    layout->addWidget(m_editStages);
    layout->addWidget(new QLabel("CIC:", this));
    layout->addWidget(m_editCic);
    OnChangeChosen();
    connect(m_comboChange, &QComboBox::currentIndexChanged, this, &CRateChangeRow::OnChangeChosen);
    connect(m_comboChange, &QComboBox::currentIndexChanged, this, &CRateChangeRow::changed);
    connect(m_spinFactor, &QSpinBox::valueChanged, this, &CRateChangeRow::changed);
    connect(m_editStages, &QLineEdit::textChanged, this, &CRateChangeRow::changed);
    connect(m_editCic, &QLineEdit::textChanged, this, &CRateChangeRow::changed);
}

std::optional<taplore::RateChangeChoice> CRateChangeRow::Choice() const {
    const int entry = m_comboChange->currentIndex();
    if (entry != decimate && entry != interpolate)
        return std::nullopt;
    taplore::RateChangeChoice choice;
    choice.change =
        entry == decimate ? taplore::RateChange::decimate : taplore::RateChange::interpolate;
    choice.factor = m_spinFactor->value();
    choice.stages = m_editStages->text().trimmed().toStdString();
    return choice;
}

void CRateChangeRow::SetChoice(const std::optional<taplore::RateChangeChoice>& choice) {
    if (choice) {
        m_spinFactor->setValue(choice->factor);
        m_editStages->setText(QString::fromStdString(choice->stages));
    }
    m_comboChange->setCurrentIndex(!choice                                           ? none
                                   : choice->change == taplore::RateChange::decimate ? decimate
                                                                                     : interpolate);
}

std::string CRateChangeRow::Cic() const {
    return m_editCic->text().trimmed().toStdString();
}

void CRateChangeRow::SetCic(const std::string& cic) {
    m_editCic->setText(QString::fromStdString(cic));
}

// The factor and stages matter only with a change.
void CRateChangeRow::OnChangeChosen() {
    const bool on = m_comboChange->currentIndex() != none;
    m_spinFactor->setEnabled(on);
    m_editStages->setEnabled(on);
}
