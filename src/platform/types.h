#pragma once
// Plain geometry and colour types shared by the window classes.

#include <cstdint>

using COLORREF = std::uint32_t;

// Colours are stored as 0x00BBGGRR, as desktop drawing code has always written them.
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>(r & 0xFF) | static_cast<COLORREF>(g & 0xFF) << 8 |
           static_cast<COLORREF>(b & 0xFF) << 16;
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>(c >> 16 & 0xFF);
}

struct CPoint {
    int x = 0;
    int y = 0;
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    void DeflateRect(int d) {
        left += d;
        top += d;
        right -= d;
        bottom -= d;
    }
};
