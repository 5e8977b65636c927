#pragma once
// CSpectrumWnd: the plot of the filter's log-magnitude spectrum, a window class of its own
// painted with GDI: a red curve over a green dotted 10 x 10 grid on black.

#include "core/dialog/spectrum_plot.h"

#include <windows.h>

class CSpectrumWnd {
public:
    // Registers the window class once for the process.
    static void RegisterWindowClass(HINSTANCE instance);

    // Creates the plot as a child of dialog, 5 pixels inside the frame control, and keeps it
    // there when the dialog is scaled for another screen.
    void Create(HWND dialog, HWND frame);

    // Computes the dB values of the taps' spectrum at a sampling rate; returns 512, or -1 on
    // failure. Leaves drawing to the caller.
    int ComputeSpectrum(const double* coef, int count, double sampleRate);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void OnPaint();
    void PlaceOverFrame();

    HWND m_hwnd = nullptr;
    HWND m_frame = nullptr;
    COLORREF m_crBackground = RGB(0, 0, 0);
    taplore::SpectrumPlot m_plot;
};
