#pragma once
// CSpectrumWnd: the plot of the filter's log-magnitude spectrum, a red curve over a green
// dotted 10 x 10 grid on black. 0 dB lies 10 pixels below the top; every grid step down is
// 10 dB more attenuation; the right edge is half the sampling rate. Screen readers get it as a
// chart named "Log-Magnitude Spectrum" whose description summarises the curve.

#include "core/dialog/spectrum_plot.h"

#include <QColor>
#include <QWidget>

class QPainter;

class CSpectrumWnd : public QWidget {
    Q_OBJECT

public:
    explicit CSpectrumWnd(QWidget* parent);

    // Computes the dB values of the taps' spectrum at a sampling rate; returns 512, or -1 on
    // failure. Leaves drawing to the caller.
    int ComputeSpectrum(const double* coef, int count, double sampleRate);

    // Sets the accessible description to a summary of the spectrum held, for a design of this
    // band type. Called after each successful ComputeSpectrum, so that after a failed one the
    // description goes on telling what is drawn.
    void Describe(BandType band);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    static void DrawGrid(QPainter& painter, int width, int height);
    void DrawCurve(QPainter& painter, int width, int height) const;

    QColor m_crBackground = Qt::black;
    // The dB levels shown and the points they give.
    taplore::SpectrumPlot m_plot;
};
