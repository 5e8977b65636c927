#pragma once
// CSpectrumWnd: the plot of the filter's log-magnitude spectrum, a red curve over a
// green dotted 10 x 10 grid on black. 0 dB lies 10 pixels below the top; every grid
// step down is 10 dB more attenuation.

#include "platform/wnd.h"

#include <memory>

class CPaintDC;

class CSpectrumWnd : public CWnd {
public:
    CSpectrumWnd();

    // Computes the dB values of the taps' spectrum; returns 512, or -1 on failure.
    // Leaves drawing to the caller.
    int ComputeSpectrum(const double* coef, int count);

    void OnPaint();

private:
    void BindMessages();
    static void DrawGrid(CPaintDC& dc, int width, int height);
    void DrawCurve(CPaintDC& dc, int width, int ystep) const;

    COLORREF m_crBackground = RGB(0, 0, 0);
    std::unique_ptr<double[]> m_pMagDb;
    int m_nBins = 0;
};
