#include "win32/layout.h"

#include "win32/window_text.h"

namespace {

// The width text takes in the control's font.
int TextWidth(HWND control, const std::wstring& text) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return size.cx;
}

// An edit's margins and the room its caret takes beside the text.
int EditMargins(HWND control) {
    wchar_t className[16] = L"";
    ::GetClassNameW(control, className, 16);
    if (::lstrcmpiW(className, L"Edit") != 0)
        return 0;
    const auto margins = static_cast<DWORD>(::SendMessageW(control, EM_GETMARGINS, 0, 0));
    return LOWORD(margins) + HIWORD(margins) + 2;
}

} // namespace

void WidenToFitText(HWND control, std::string_view text) {
    RECT window{};
    RECT client{};
    ::GetWindowRect(control, &window);
    ::GetClientRect(control, &client);
    const int width = window.right - window.left;
    const int borders = width - client.right;
    const int excess = TextWidth(control, Wide(text)) + EditMargins(control) + borders - width;
    if (excess <= 0)
        return;
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&window), 2);
    const int half = (excess + 1) / 2;
    ::SetWindowPos(control, nullptr, window.left - half, window.top, width + 2 * half,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
