#pragma once
// CAboutDlg: the About box, reached from the design dialog's system menu.

#include "core/dialog/about.h"

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = taplore::kAboutDialogId }; // the template number, which picks the help section

    explicit CAboutDlg(QWidget* parent);
};
