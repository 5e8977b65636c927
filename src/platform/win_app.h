#pragma once
// CWinApp: the single application object. main() builds the QApplication and calls its
// InitInstance; the process ends when that returns.

#include "platform/dialog.h"

#include <string>

class CWnd;

// Help contexts of dialogs are numbered from here plus the dialog's template number.
constexpr unsigned kHelpContextDialog = 0x20000;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns whether a message loop should follow; dialog-based programs return false.
    virtual bool InitInstance() = 0;

    // Dialog controls have their three-dimensional look on every current platform.
    void Enable3dControls() {}
    CIcon LoadIcon(int id) const;
    std::string LoadString(int id) const;
    // Shows the help file beside the executable, or says that help could not be shown.
    void WinHelp(unsigned context);

    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// The framework's main routine: runs the application object; returns the exit status.
int AfxWinMain(int argc, char** argv);
