#include "win32/about_dlg.h"

#include "core/dialog/about.h"
#include "win32/dialog_procedure.h"
#include "win32/guard.h"
#include "win32/help_wnd.h"
#include "win32/resource.h"
#include "win32/window_text.h"

void CAboutDlg::DoModal(HWND owner) {
    CAboutDlg about(owner);
    RunModal(about, IDD_ABOUTBOX, owner);
}

INT_PTR CAboutDlg::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextUtf8(::GetDlgItem(window, IDC_ABOUT_TEXT), taplore::kAboutText);
        CenterOver(window, m_owner);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    case WM_HELP:
        CHelpWnd::OnHelp(window, taplore::kAboutDialogId);
        return TRUE;
    default:
        return FALSE;
    }
}
