#pragma once
// CNyquistRow: the requirements window's L-th-band choice, off or L from 2, as a spin box after
// its label, beside the length it replaces with the fewest taps that keep the zeros.

#include <QWidget>

class QSpinBox;

class CNyquistRow : public QWidget {
    Q_OBJECT

public:
    explicit CNyquistRow(QWidget* parent = nullptr);

    // L, or 0 while off.
    int Band() const;
    void SetBand(int band);

signals:
    void changed();

private:
    QSpinBox* m_spinBand;
};
