#pragma once
// CAboutDlg: the About box, reached from the design dialog's system menu.

#include <windows.h>

class CAboutDlg {
public:
    // Opens the box centred over owner, which stays disabled until it is closed.
    static void DoModal(HWND owner);

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit CAboutDlg(HWND owner) : m_owner(owner) {}

    HWND m_owner;
};
