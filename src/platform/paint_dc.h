#pragma once
// A paint context for one paint of one window: fills, pens, lines from a current position
// and icons, with antialiasing off so every pixel lands where the integer coordinates say.

#include "platform/types.h"

#include <memory>

class CWnd;
class CIcon;
class QPainter;

enum class PenStyle { solid, dot };

class CPen {
public:
    CPen(PenStyle style, int width, COLORREF color)
        : m_style(style), m_width(width), m_color(color) {}

    PenStyle m_style;
    int m_width;
    COLORREF m_color;
};

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    void FillSolidRect(const CRect& rect, COLORREF color);
    void SelectObject(const CPen& pen);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void DrawIcon(int x, int y, const CIcon& icon);
    // Fills the area with the window's own background, as under a minimised window's icon.
    void EraseBackground(const CRect& rect);

private:
    std::unique_ptr<QPainter> m_pPainter;
    CPoint m_current;
};
