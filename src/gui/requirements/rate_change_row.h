#pragma once
// CRateChangeRow: the requirements window's rate change, beside the rate: none, or decimation
// or interpolation by a factor, in stages as the command line's --stages takes them ("1",
// "auto", a count or factors as "4x4x3").

#include "core/document/design_document.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QSpinBox;

class CRateChangeRow : public QWidget {
    Q_OBJECT

public:
    explicit CRateChangeRow(QWidget* parent = nullptr);

    // None while the combo says No rate change.
    std::optional<taplore::RateChangeChoice> Choice() const;
    void SetChoice(const std::optional<taplore::RateChangeChoice>& choice);

signals:
    void changed();

private slots:
    void OnChangeChosen();

private:
    QComboBox* m_comboChange;
    QSpinBox* m_spinFactor;
    QLineEdit* m_editStages;
};
