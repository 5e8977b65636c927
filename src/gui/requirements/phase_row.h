#pragma once
// CPhaseRow: the requirements window's choice of phase, linear or minimum, as two radio
// buttons after their label, like the length's beside it.

#include <QWidget>

class QRadioButton;

class CPhaseRow : public QWidget {
    Q_OBJECT

public:
    explicit CPhaseRow(QWidget* parent = nullptr);

    bool Minimum() const;
    void SetMinimum(bool minimum);

signals:
    void changed();

private:
    QRadioButton* m_radioLinear;
    QRadioButton* m_radioMinimum;
};
