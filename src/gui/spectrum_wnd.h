#pragma once
// CSpectrumWnd: the plot of the filter's log-magnitude spectrum, a red curve over a green
// dotted 10 x 10 grid on black. 0 dB lies 10 pixels below the top; every grid step down is
// 10 dB more attenuation; the right edge is half the sampling rate.

#include <QColor>
#include <QWidget>

#include <memory>

class QPainter;

class CSpectrumWnd : public QWidget {
    Q_OBJECT

public:
    explicit CSpectrumWnd(QWidget* parent);

    // Computes the dB values of the taps' spectrum; returns 512, or -1 on failure.
    // Leaves drawing to the caller.
    int ComputeSpectrum(const double* coef, int count);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static void DrawGrid(QPainter& painter, int width, int height);
    void DrawCurve(QPainter& painter, int width, int ystep) const;

    QColor m_crBackground = Qt::black;
    std::unique_ptr<double[]> m_pMagDb;
    int m_nBins = 0;
};
