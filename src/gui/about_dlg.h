#pragma once
// CAboutDlg: the About box, reached from the design dialog's system menu.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 100 }; // the template number, which picks the help section

    explicit CAboutDlg(QWidget* parent);
};
