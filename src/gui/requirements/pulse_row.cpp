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

// "root raised cosine" as a choice's text: "Root raised cosine".
QString Capitalised(std::string_view title) {
    QString text = FromStd(title);
    text[0] = text[0].toUpper();
    return text;
}

} // namespace

CPulseRow::CPulseRow(QWidget* parent) : QWidget(parent) {
    const taplore::WindowPulse start;
    m_comboShape = new QComboBox(this);
    m_comboShape->addItem("None", QString());
    for (const taplore::PulseShapeInfo& shape : taplore::PulseShapes())
        m_comboShape->addItem(Capitalised(shape.title), FromStd(shape.name));
    m_comboShape->setAccessibleName("Pulse shape");
    m_comboShape->setToolTip("A pulse-shaping filter by its closed form, in place of the bands' "
                             "design");
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
    m_labelShaping = new QLabel(this);
    m_editShaping = new QLineEdit(FromStd(start.shaping), this);
    m_editShaping->setFixedWidth(50);
    m_comboGain = new QComboBox(this);
    m_comboGain->addItem("Default gain", QString());
    for (const taplore::PulseGainInfo& gain : taplore::PulseGains())
        m_comboGain->addItem(FromStd(gain.name), FromStd(gain.name));
    m_comboGain->setAccessibleName("Pulse gain");
    m_comboGain->setToolTip("Default: unit energy for the root raised cosine, unit DC for the "
                            "others");
    const std::pair<QWidget*, const char*> names[] = {{m_comboShape, "comboPulse"},
                                                      {m_spinSpan, "spinSpan"},
                                                      {m_spinSamples, "spinSamples"},
                                                      {m_editShaping, "editShaping"},
                                                      {m_comboGain, "comboGain"}};
    for (const auto& [control, name] : names)
        control->setObjectName(name);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_comboShape);
    layout->addWidget(m_spinSpan);
    layout->addWidget(m_spinSamples);
    layout->addWidget(m_labelShaping);
    layout->addWidget(m_editShaping);
    layout->addWidget(m_comboGain);
    layout->addStretch();
    OnShapeChanged();

    connect(m_comboShape, &QComboBox::currentIndexChanged, this, &CPulseRow::OnShapeChanged);
    connect(m_comboShape, &QComboBox::currentIndexChanged, this, &CPulseRow::changed);
    connect(m_spinSpan, &QSpinBox::valueChanged, this, &CPulseRow::changed);
    connect(m_spinSamples, &QSpinBox::valueChanged, this, &CPulseRow::changed);
    connect(m_editShaping, &QLineEdit::textChanged, this, &CPulseRow::changed);
    connect(m_comboGain, &QComboBox::currentIndexChanged, this, &CPulseRow::changed);
}

taplore::WindowPulse CPulseRow::Pulse() const {
    taplore::WindowPulse pulse;
    pulse.shape = m_comboShape->currentData().toString().toStdString();
    pulse.spanSymbols = m_spinSpan->value();
    pulse.samplesPerSymbol = m_spinSamples->value();
    pulse.shaping = m_editShaping->text().trimmed().toStdString();
    pulse.gain = m_comboGain->currentData().toString().toStdString();
    return pulse;
}

void CPulseRow::SetPulse(const taplore::WindowPulse& pulse) {
    m_comboShape->setCurrentIndex(std::max(0, m_comboShape->findData(FromStd(pulse.shape))));
    m_spinSpan->setValue(pulse.spanSymbols);
    m_spinSamples->setValue(pulse.samplesPerSymbol);
    m_editShaping->setText(FromStd(pulse.shaping));
    m_comboGain->setCurrentIndex(std::max(0, m_comboGain->findData(FromStd(pulse.gain))));
}

// The shaping is a roll-off or a BT by the shape; the figures wait while there is none.
void CPulseRow::OnShapeChanged() {
    const taplore::PulseShapeInfo* shape =
        taplore::FindPulseShape(m_comboShape->currentData().toString().toStdString());
    m_labelShaping->setText(shape && shape->bt ? "BT:" : "Roll-off:");
    m_editShaping->setAccessibleName(shape && shape->bt ? "Bandwidth-time product" : "Roll-off");
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_spinSpan, m_spinSamples, m_labelShaping, m_editShaping, m_comboGain})
        control->setEnabled(shape != nullptr);
}
