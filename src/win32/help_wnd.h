#pragma once
// CHelpWnd: F1's manual, the Markdown text built into the program shown read-only in a window
// of its own beside the dialog that asked, at that dialog's section.

#include <windows.h>

#include <string>

class CHelpWnd {
public:
    // Registers the window class once for the process.
    static void RegisterWindowClass(HINSTANCE instance);

    // F1 in a dialog (dialogId: its template number): the manual at that dialog's section, or
    // a box saying it failed.
    static void OnHelp(HWND dialog, int dialogId);

private:
    static bool ShowSection(HWND dialog, const std::string& heading);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK TextProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
};
