#include "app/design_app.h"

#include "dialog/design_dlg.h"

bool CDesignApp::InitInstance() {
    Enable3dControls();
    CDesignDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false; // no message loop: the program ends with the dialog
}
