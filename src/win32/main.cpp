// taplore.exe: the FIR Filter Design dialog on the Win32 API. It runs the design dialog
// modally; closing the dialog ends the program.
#include "win32/design_dlg.h"
#include "win32/help_wnd.h"
#include "win32/spectrum_wnd.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                             ICC_PROGRESS_CLASS |
                                                             ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CSpectrumWnd::RegisterWindowClass(instance);
    CHelpWnd::RegisterWindowClass(instance);
    CDesignDlg dlg;
    dlg.DoModal();
    return 0;
}
