#include "win32/help_wnd.h"

#include "core/dialog/about.h"
#include "core/dialog/dialog_messages.h"
#include "win32/guard.h"
#include "win32/resource.h"
#include "win32/window_class.h"
#include "win32/window_text.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace {

const wchar_t* const kClassName = L"TaploreHelp";
// The size of the window at 96 dots an inch: the manual has lines of up to 100 characters.
constexpr int kWidth = 860;
constexpr int kHeight = 560;
constexpr int kFontPoints = 10;

// F1 again raises the open window instead of stacking a second copy of the manual.
HWND g_openHelp = nullptr;
std::wstring g_manual; // what it shows

// The manual built into the resources, with the CR LF line ends an edit control shows.
std::optional<std::wstring> ManualText() {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_MANUAL), RT_RCDATA);
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!bytes)
        return std::nullopt;
    std::string text;
    for (const char c : std::string_view(bytes, ::SizeofResource(module, found))) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return Wide(text);
}

// Where the heading of this text starts: a line of one or more '#', a blank and the text.
std::size_t HeadingAt(const std::wstring& manual, const std::wstring& heading) {
    for (std::size_t line = 0; line < manual.size();) {
        const std::size_t hashes = manual.find_first_not_of(L'#', line);
        if (hashes > line &&
            manual.compare(hashes, heading.size() + 3, L" " + heading + L"\r\n") == 0)
            return line;
        const std::size_t end = manual.find(L'\n', line);
        line = end == std::wstring::npos ? manual.size() : end + 1;
    }
    return 0;
}

HWND TextOf(HWND help) {
    return ::GetWindow(help, GW_CHILD);
}

// The heading's line at the top of the view.
void ScrollTo(HWND text, std::size_t position) {
    const LRESULT line = ::SendMessageW(text, EM_LINEFROMCHAR, position, 0);
    const LRESULT first = ::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
    ::SendMessageW(text, EM_SETSEL, position, position);
    ::SendMessageW(text, EM_LINESCROLL, 0, line - first);
}

int Scaled(HWND window, int pixels) {
    return ::MulDiv(pixels, static_cast<int>(::GetDpiForWindow(window)), USER_DEFAULT_SCREEN_DPI);
}

// Right of the dialog where the screen has room, else as far right as it has; never larger
// than the work area.
RECT BesideOwner(HWND dialog, int width, int height) {
    RECT owner{};
    ::GetWindowRect(dialog, &owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    width = std::min<int>(width, area.right - area.left);
    height = std::min<int>(height, area.bottom - area.top);
    const LONG left = std::max<LONG>(area.left, std::min<LONG>(owner.right, area.right - width));
    const LONG top = std::max<LONG>(area.top, std::min<LONG>(owner.top, area.bottom - height));
    return {left, top, left + width, top + height};
}

} // namespace

void CHelpWnd::RegisterWindowClass(HINSTANCE instance) {
    RegisterProgramClass(instance, kClassName, WindowProcedure,
                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                         ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
}

void CHelpWnd::OnHelp(HWND dialog, int dialogId) {
    RunGuarded(dialog, [&] {
        if (!ShowSection(dialog, taplore::HelpSection(dialogId)))
            ShowMessage(dialog,
                        taplore::HelpFailedMessage(taplore::ApplicationName(ExecutablePath())));
    });
}

// A window owned by the dialog, so that the dialog's modal loop lets its input through; it
// goes when the dialog goes.
bool CHelpWnd::ShowSection(HWND dialog, const std::string& heading) {
    // The manual opened from the other dialog would sit behind a disabled owner: it makes
    // way for a new one.
    if (g_openHelp && ::GetWindow(g_openHelp, GW_OWNER) != dialog)
        ::DestroyWindow(g_openHelp);
    if (!g_openHelp) {
        const std::optional<std::wstring> manual = ManualText();
        if (!manual)
            return false;
        const RECT place = BesideOwner(dialog, Scaled(dialog, kWidth), Scaled(dialog, kHeight));
        g_openHelp =
            ::CreateWindowExW(0, kClassName, L"Taplore Help", WS_OVERLAPPEDWINDOW, place.left,
                              place.top, place.right - place.left, place.bottom - place.top, dialog,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!g_openHelp)
            return false;
        g_manual = *manual;
        ::SetWindowTextW(TextOf(g_openHelp), g_manual.c_str());
    }
    const HWND text = TextOf(g_openHelp);
    ::ShowWindow(g_openHelp, SW_SHOWNORMAL);
    ::SetForegroundWindow(g_openHelp);
    ::SetFocus(text);
    ScrollTo(text, HeadingAt(g_manual, Wide(heading)));
    return true;
}

LRESULT CALLBACK CHelpWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const HWND text = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
            0, 0, window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        // A fixed-pitch font keeps the Markdown's tables in columns.
        const HFONT font = ::CreateFontW(
            -Scaled(window, kFontPoints * 96 / 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
            DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
        ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SendMessageW(text, EM_SETLIMITTEXT, 0, 0); // the whole manual, however long
        ::SetWindowSubclass(text, TextProcedure, 0, reinterpret_cast<DWORD_PTR>(font));
        return text ? 0 : -1;
    }
    case WM_SIZE:
        ::MoveWindow(TextOf(window), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(TextOf(window));
        return 0;
    case WM_DESTROY:
        if (g_openHelp == window)
            g_openHelp = nullptr;
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Escape closes the manual; the font goes with the text.
LRESULT CALLBACK CHelpWnd::TextProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ::DestroyWindow(::GetParent(window));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, TextProcedure, id);
        ::DeleteObject(reinterpret_cast<HFONT>(data));
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
