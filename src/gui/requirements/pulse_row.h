#pragma once
// CPulseRow: the requirements window's pulse-shaping preset: none, or a raised cosine, root
// raised cosine or Gaussian from its span, samples per symbol, roll-off or BT and gain, in one
// row of the window's form. While a shape is chosen the window shows its closed form in place
// of the bands' design.

#include "core/document/window_pulse.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

class CPulseRow : public QWidget {
    Q_OBJECT

public:
    explicit CPulseRow(QWidget* parent = nullptr);

    taplore::WindowPulse Pulse() const;
    void SetPulse(const taplore::WindowPulse& pulse);

signals:
    void changed();

private slots:
    void OnShapeChanged();

private:
    QComboBox* m_comboShape;
    QSpinBox* m_spinSpan;
    QSpinBox* m_spinSamples;
    QLabel* m_labelShaping;
    QLineEdit* m_editShaping;
    QComboBox* m_comboGain;
};
