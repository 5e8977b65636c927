#include "win32/guard.h"

#include "core/dialog/dialog_messages.h"
#include "core/io/file_output.h"
#include "win32/window_text.h"

#include <new>

void ShowMessage(HWND owner, const taplore::DialogMessage& message) {
    const UINT icon = message.icon == taplore::MessageIcon::stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    ::MessageBoxW(owner, Wide(message.text).c_str(), Wide(message.caption).c_str(), MB_OK | icon);
}

void RunGuarded(HWND owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, taplore::OutOfMemoryMessage(taplore::ApplicationName(ExecutablePath())));
    } catch (const CFileException& e) {
        ShowMessage(owner,
                    taplore::FileFailedMessage(taplore::ApplicationName(ExecutablePath()), e));
    }
}

void CenterOver(HWND window, HWND owner) {
    RECT outer{};
    RECT inner{};
    ::GetWindowRect(owner, &outer);
    ::GetWindowRect(window, &inner);
    const int width = inner.right - inner.left;
    const int height = inner.bottom - inner.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const auto clamp = [](LONG value, LONG low, LONG high) {
        return value < low ? low : (value > high ? high : value);
    };
    const LONG x = clamp((outer.left + outer.right - width) / 2, area.left, area.right - width);
    const LONG y = clamp((outer.top + outer.bottom - height) / 2, area.top, area.bottom - height);
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
