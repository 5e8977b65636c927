#pragma once
// What every dialog's handlers share: the guard that reports their failures, the message
// boxes it shows, the wait cursor and placing a box over its owner.

#include <windows.h>

#include <functional>
#include <utility>

namespace taplore {
struct DialogMessage;
}

// A modal box with one OK button, owned by owner: the message's text, caption and icon.
void ShowMessage(HWND owner, const taplore::DialogMessage& message);

// Runs a handler. Memory exhaustion ("Out of memory.") and file failures (their cause) are
// reported in a box captioned with the program's name; what the handler did stays done.
// Nothing thrown gets past it into Windows' own code.
void RunGuarded(HWND owner, const std::function<void()>& handler);

// Centres window over owner, kept inside the owner's monitor's work area.
void CenterOver(HWND window, HWND owner);

// Shows the wait cursor while it lives; Restore() takes it away early, before a message box.
class WaitCursor {
public:
    WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Restore() {
        if (std::exchange(m_shown, false))
            ::SetCursor(m_previous);
    }

private:
    HCURSOR m_previous;
    bool m_shown = true;
};
