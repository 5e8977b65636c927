#pragma once
// CHelpWnd: the manual, compiled into the program, in a window of its own. It is not modal:
// the dialogs stay usable beside it.

#include <QWidget>

class QTextBrowser;

class CHelpWnd : public QWidget {
    Q_OBJECT

public:
    // Opens the one help window, or raises it when it is open, at the section with this
    // heading. Returns false, opening nothing, when the manual cannot be read.
    static bool ShowSection(const QString& heading);

private:
    explicit CHelpWnd(const QString& markdown);
    void ScrollToSection(const QString& heading);

    QTextBrowser* m_browser;
};
