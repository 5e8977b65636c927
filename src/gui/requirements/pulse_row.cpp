#include "gui/requirements/pulse_row.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace {

// Four digits keep the spin boxes narrow; the design refuses a product past its longest pulse.
constexpr int kMostSpin = 9999;

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CPulseRow::CPulseRow(QWidget* parent) : QWidget(parent) {
    const taplore::WindowPulse start;
    m_spinSpan = new QSpinBox(this);
    m_spinSpan->setRange(1, kMostSpin);
    m_spinSpan->setValue(start.spanSymbols);
    m_spinSpan->setSuffix(" symbols");
    m_spinSpan->setAccessibleName("Pulse span in symbols");
    m_spinSamples = new QSpinBox(this);
    m_spinSamples->setRange(1, kMostSpin);
    m_spinSamples->setValue(start.samplesPerSymbol);
    m_spinSamples->setPrefix("× ");
    m_spinSamples->setAccessibleName("Samples per symbol");
    m_spinSamples->setToolTip("Samples per symbol");
    m_labelShaping = new QLabel("Roll-off:", this);
    m_editShaping = new QLineEdit(FromStd(start.shaping), this);
    m_editShaping->setFixedWidth(50);
    m_comboGain = new QComboBox(this);
    m_comboGain->addItem("Default gain", QString());
    for (const taplore::PulseGainInfo& gain : taplore::PulseGains())
        m_comboGain->addItem(FromStd(gain.name), FromStd(gain.name));
    m_comboGain->setAccessibleName("Pulse gain");
    m_comboGain->setToolTip("Default: unit energy for the root raised cosine, unit DC for the "
                            "others");
    const std::pair<QWidget*, const char*> names[] = {{m_spinSpan, "spinSpan"},
                                                      {m_spinSamples, "spinSamples"},
                                                      {m_editShaping, "editShaping"},
                                                      {m_comboGain, "comboGain"}};
    for (const auto& [control, name] : names)
        control->setObjectName(name);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_spinSpan);
    layout->addWidget(m_spinSamples);
    layout->addWidget(m_labelShaping);
    layout->addWidget(m_editShaping);
    layout->addWidget(m_comboGain);
    layout->addStretch();

    connect(m_spinSpan, &QSpinBox::valueChanged, this, &CPulseRow::changed);
    connect(m_spinSamples, &QSpinBox::valueChanged, this, &CPulseRow::changed);
    connect(m_editShaping, &QLineEdit::textChanged, this, &CPulseRow::changed);
    connect(m_comboGain, &QComboBox::currentIndexChanged, this, &CPulseRow::changed);
}

QString CPulseRow::ChoiceText(const taplore::PulseShapeInfo& shape) {
    QString text = FromStd(shape.title) + " pulse";
    text[0] = text[0].toUpper();
    return text;
}

taplore::WindowPulse CPulseRow::Pulse() const {
    taplore::WindowPulse pulse;
    pulse.shape = m_shape;
    pulse.spanSymbols = m_spinSpan->value();
    pulse.samplesPerSymbol = m_spinSamples->value();
    pulse.shaping = m_editShaping->text().trimmed().toStdString();
    pulse.gain = m_comboGain->currentData().toString().toStdString();
    return pulse;
}

void CPulseRow::SetPulse(const taplore::WindowPulse& pulse) {
    SetShape(pulse.shape);
    m_spinSpan->setValue(pulse.spanSymbols);
    m_spinSamples->setValue(pulse.samplesPerSymbol);
    m_editShaping->setText(FromStd(pulse.shaping));
    m_comboGain->setCurrentIndex(std::max(0, m_comboGain->findData(FromStd(pulse.gain))));
}

void CPulseRow::SetShape(const std::string& shape) {
    m_shape = shape;
    const taplore::PulseShapeInfo* info = taplore::FindPulseShape(shape);
    const bool bt = info && info->bt;
    m_labelShaping->setText(bt ? "BT:" : "Roll-off:");
    m_editShaping->setAccessibleName(bt ? "Bandwidth-time product" : "Roll-off");
}
