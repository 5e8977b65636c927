#pragma once
// CAboutDlg: the About box, reached from the design dialog's system menu.

#include "platform/dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent);
};
