#include "spectrum/spectrum_wnd.h"

#include "platform/paint_dc.h"
#include "core/log_magnitude.h"

#include <cmath>
#include <limits>

namespace {

constexpr COLORREF kGridColour = RGB(0, 255, 0);
constexpr COLORREF kCurveColour = RGB(255, 0, 0);

// A plot coordinate: truncated toward zero; a value that is not finite lands on 0.
int ToPixel(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::fmax(-limit, std::fmin(limit, value)));
}

} // namespace

CSpectrumWnd::CSpectrumWnd() {
    BindMessages();
}

void CSpectrumWnd::BindMessages() {
    BindPaint(&CSpectrumWnd::OnPaint);
}

int CSpectrumWnd::ComputeSpectrum(const double* coef, int count) {
    return ComputeLogMagnitude(coef, count, m_pMagDb, m_nBins);
}

void CSpectrumWnd::OnPaint() {
    CPaintDC dc(this);
    const CRect client = GetClientRect();
    dc.FillSolidRect(client, m_crBackground);
    DrawGrid(dc, client.Width(), client.Height());
    DrawCurve(dc, client.Width(), client.Height() / 10);
}

void CSpectrumWnd::DrawGrid(CPaintDC& dc, int width, int height) {
    dc.SelectObject(CPen(PenStyle::dot, 1, kGridColour));
    // A window under 10 pixels has a step of 0: it gets no lines rather than endless ones.
    const int xstep = width / 10;
    for (int x = 0; xstep > 0 && x < width; x += xstep) {
        dc.MoveTo(x, 0);
        dc.LineTo(x, height);
    }
    const int ystep = height / 10;
    for (int y = 0; ystep > 0 && y < height; y += ystep) {
        dc.MoveTo(0, y);
        dc.LineTo(width, y);
    }
}

void CSpectrumWnd::DrawCurve(CPaintDC& dc, int width, int ystep) const {
    dc.SelectObject(CPen(PenStyle::solid, 2, kCurveColour));
    dc.MoveTo(0, ystep);
    const int n = m_nBins;
    for (int i = 1; i < n; ++i) {
        const auto x = static_cast<int>(static_cast<long long>(i) * width / n);
        const int y = ToPixel(10.0 - ((m_pMagDb[i] * ystep) * 0.1));
        dc.LineTo(x, y);
    }
}
