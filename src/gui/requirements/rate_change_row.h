#pragma once
// CRateChangeRow: the requirements window's rate change, beside the rate: none, or decimation
// or interpolation by a factor, in stages as the command line's --stages takes them ("1",
// "auto", a count or factors as "4x4x3"); and the CIC decimator the filter compensates, as
// --cic takes it ("4:16:1"), or none.

#include "core/document/design_document.h"

#include <QWidget>

#include <optional>
#include <string>

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
    // The CIC field as typed; empty for none.
    std::string Cic() const;
    void SetCic(const std::string& cic);

signals:
    void changed();

private slots:
    void OnChangeChosen();

private:
    QComboBox* m_comboChange;
    QSpinBox* m_spinFactor;
    QLineEdit* m_editStages;
    QLineEdit* m_editCic;
};
