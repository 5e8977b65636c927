#pragma once
// CPulseRow: a pulse-shaping preset's figures, in the Length row's place while the Method is a
// pulse: its span in symbols, samples per symbol, roll-off or BT, and gain. The Method combo
// offers the shapes after the methods; the window shows the pulse's closed form in place of
// the bands' design.

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

    // The Method combo's text of a shape: "Root raised cosine pulse".
    static QString ChoiceText(const taplore::PulseShapeInfo& shape);

    // The pulse of the shape chosen; its shape empty while the Method is no pulse.
    taplore::WindowPulse Pulse() const;
    void SetPulse(const taplore::WindowPulse& pulse);
    // The shape the Method combo chose, empty for none: a roll-off, or a BT for the Gaussian.
    void SetShape(const std::string& shape);

signals:
    void changed();

private:
    std::string m_shape;
    QSpinBox* m_spinSpan;
    QSpinBox* m_spinSamples;
    QLabel* m_labelShaping;
    QLineEdit* m_editShaping;
    QComboBox* m_comboGain;
};
