#pragma once
// CAboutDlg: the About box, reached from the design dialog's system menu.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent);
};
