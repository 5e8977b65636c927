#include "win32/spectrum_wnd.h"

#include "win32/window_class.h"

#include <new>
#include <vector>

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace {

const wchar_t* const kClassName = L"TaploreSpectrum";
const COLORREF kGridColour = RGB(0, 255, 0);
const COLORREF kCurveColour = RGB(255, 0, 0);

// A drawing object deleted when the paint is over.
class GdiObject {
public:
    GdiObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_object(object) {
        m_previous = ::SelectObject(dc, object);
    }
    ~GdiObject() {
        ::SelectObject(m_dc, m_previous);
        ::DeleteObject(m_object);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_object;
    HGDIOBJ m_previous;
};

// Every other pixel, as the dotted grid is drawn on every system.
HPEN GridPen() {
    const LOGBRUSH brush{BS_SOLID, kGridColour, 0};
    return ::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
}

} // namespace

void CSpectrumWnd::RegisterWindowClass(HINSTANCE instance) {
    RegisterProgramClass(instance, kClassName, WindowProcedure);
}

void CSpectrumWnd::Create(HWND dialog, HWND frame) {
    m_frame = frame;
    m_hwnd = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog,
                               nullptr, ::GetModuleHandleW(nullptr), this);
    PlaceOverFrame();
}

// Over the frame and the group box around it.
void CSpectrumWnd::PlaceOverFrame() {
    RECT rect{};
    ::GetWindowRect(m_frame, &rect);
    ::InflateRect(&rect, -5, -5);
    ::MapWindowPoints(nullptr, ::GetParent(m_hwnd), reinterpret_cast<POINT*>(&rect), 2);
    ::SetWindowPos(m_hwnd, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOACTIVATE);
}

int CSpectrumWnd::ComputeSpectrum(const double* coef, int count, double sampleRate) {
    return m_plot.ComputeSpectrum(coef, count, sampleRate);
}

LRESULT CALLBACK CSpectrumWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* spectrum = reinterpret_cast<CSpectrumWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        try {
            spectrum->OnPaint();
        } catch (const std::bad_alloc&) {
            // A failure while painting is silent: the area counts as painted.
            ::ValidateRect(window, nullptr);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DPICHANGED_AFTERPARENT:
        spectrum->PlaceOverFrame();
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// The points come first: only they can fail, and then before the painting begins.
void CSpectrumWnd::OnPaint() {
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    const std::vector<taplore::PlotLine> grid = taplore::SpectrumPlot::GridLines(width, height);
    std::vector<POINT> curve;
    for (const taplore::PlotPoint& point : m_plot.Curve(width, height))
        curve.push_back({point.x, point.y});

    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hwnd, &paint);
    const HBRUSH background = ::CreateSolidBrush(m_crBackground);
    ::FillRect(dc, &client, background);
    ::DeleteObject(background);
    {
        const GdiObject pen(dc, GridPen());
        for (const taplore::PlotLine& line : grid) {
            ::MoveToEx(dc, line.from.x, line.from.y, nullptr);
            ::LineTo(dc, line.to.x, line.to.y);
        }
    }
    {
        const GdiObject pen(dc, ::CreatePen(PS_SOLID, 2, kCurveColour));
        ::Polyline(dc, curve.data(), static_cast<int>(curve.size()));
    }
    ::EndPaint(m_hwnd, &paint);
}
