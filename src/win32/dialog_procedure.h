#pragma once
// Runs a dialog class modally from its template: the object travels with WM_INITDIALOG, stays
// in the dialog's user data, and every message goes to its HandleMessage.

#include <windows.h>

template <class Dialog>
INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    return dialog ? dialog->HandleMessage(window, message, wParam, lParam) : FALSE;
}

// Shows the dialog of template templateId, owned by owner, until it ends; returns the result
// it ended with.
template <class Dialog> INT_PTR RunModal(Dialog& dialog, int templateId, HWND owner) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                             DialogProcedure<Dialog>, reinterpret_cast<LPARAM>(&dialog));
}
