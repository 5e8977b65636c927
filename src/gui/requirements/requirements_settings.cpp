// The requirements window's place, requirements and choices, kept between runs.
#include "gui/requirements/requirements_wnd.h"

#include "core/formats/crt.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/fixed_point_panel.h"
#include "gui/requirements/nyquist_row.h"
#include "gui/requirements/phase_row.h"
#include "gui/requirements/pulse_row.h"
#include "gui/requirements/rate_change_row.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>

#include <algorithm>

namespace {

QSettings Settings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Taplore", "requirements");
}

// The pulse row as shape, span, samples, shaping and gain; the row's start where a field is
// missing or no number.
QStringList PulseSetting(const taplore::WindowPulse& pulse) {
    return {QString::fromStdString(pulse.shape),
            QString::fromStdString(crt::FormatD(pulse.spanSymbols)),
            QString::fromStdString(crt::FormatD(pulse.samplesPerSymbol)),
            QString::fromStdString(pulse.shaping), QString::fromStdString(pulse.gain)};
}

taplore::WindowPulse PulseOfSetting(const QStringList& fields) {
    taplore::WindowPulse pulse;
    if (fields.size() != 5)
        return pulse;
    const auto span = crt::StrictAtoi(fields[1].toStdString());
    const auto samples = crt::StrictAtoi(fields[2].toStdString());
    if (!span || !samples)
        return pulse;
    pulse.shape = fields[0].toStdString();
    pulse.spanSymbols = *span;
    pulse.samplesPerSymbol = *samples;
    pulse.shaping = fields[3].toStdString();
    pulse.gain = fields[4].toStdString();
    return pulse;
}

// The rate change as "decimate" or "interpolate" with its factor and stages; none, or any
// other value, as an older version left it: no rate change.
std::optional<taplore::RateChangeChoice> RateChangeOf(const QSettings& settings) {
    const QString change = settings.value("rateChange").toString();
    if (change != "decimate" && change != "interpolate")
        return std::nullopt;
    taplore::RateChangeChoice choice;
    choice.change =
        change == "decimate" ? taplore::RateChange::decimate : taplore::RateChange::interpolate;
    choice.factor = std::max(2, settings.value("rateFactor", 2).toInt());
    choice.stages = settings.value("rateStages", "1").toString().toStdString();
    return choice;
}

void SaveRateChange(QSettings& settings, const std::optional<taplore::RateChangeChoice>& choice) {
    settings.setValue("rateChange", !choice ? "none"
                                    : choice->change == taplore::RateChange::decimate
                                        ? "decimate"
                                        : "interpolate");
    if (!choice)
        return;
    settings.setValue("rateFactor", choice->factor);
    settings.setValue("rateStages", QString::fromStdString(choice->stages));
}

} // namespace

void CRequirementsWnd::RestoreSettings() {
    const QSettings settings = Settings();
    // Saved, the place and size override the first ones.
    restoreGeometry(settings.value("geometry").toByteArray());
    if (settings.contains("rate"))
        m_editRate->setText(settings.value("rate").toString());
    QVector<BandRow> bands;
    for (const QString& text : settings.value("bands").toStringList())
        if (const auto band = BandOfSetting(text))
            bands.push_back(*band);
    if (!bands.isEmpty())
        m_modelBands->SetBands(bands);
    // By name, so that a method added to the table shifts no saved choice; none, an unknown or
    // an older value reads as the default.
    ChooseMethod(settings.value("method").toString());
    m_radioFixed->setChecked(settings.value("fixed", false).toBool());
    m_spinTaps->setValue(settings.value("taps", m_spinTaps->value()).toInt());
    m_phase->SetMinimum(settings.value("minimumPhase", false).toBool());
    // Settings of an older Taplore have neither: off.
    m_nyquist->SetBand(settings.value("nyquist", 0).toInt());
    ShowPulse(PulseOfSetting(settings.value("pulse").toStringList()));
    m_rateChange->SetChoice(RateChangeOf(settings));
    // Settings of an older Taplore have none: no CIC.
    m_rateChange->SetCic(settings.value("cic").toString().toStdString());
    m_comboView->setCurrentIndex(settings.value("view", 1).toInt());
    m_checkZoom->setChecked(settings.value("zoom", false).toBool());
    m_editBits->setText(settings.value("bits", m_editBits->text()).toString());
    m_panelFixed->Restore(settings);
}

void CRequirementsWnd::SaveSettings() const {
    QSettings settings = Settings();
    settings.setValue("geometry", saveGeometry());
    settings.setValue("rate", m_editRate->text());
    QStringList bands;
    for (const BandRow& band : m_modelBands->Bands())
        bands << BandSetting(band);
    settings.setValue("bands", bands);
    settings.setValue("method", m_comboMethod->currentData());
    settings.setValue("fixed", m_radioFixed->isChecked());
    settings.setValue("taps", m_spinTaps->value());
    settings.setValue("minimumPhase", m_phase->Minimum());
    settings.setValue("nyquist", m_nyquist->Band());
    settings.setValue("pulse", PulseSetting(m_pulse->Pulse()));
    SaveRateChange(settings, m_rateChange->Choice());
    settings.setValue("cic", QString::fromStdString(m_rateChange->Cic()));
    settings.setValue("view", m_comboView->currentIndex());
    settings.setValue("zoom", m_checkZoom->isChecked());
    settings.setValue("bits", m_editBits->text());
    m_panelFixed->Save(settings);
}
