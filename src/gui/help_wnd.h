#pragma once
// CHelpWnd: the manual, compiled into the program, in a window of its own. It is not modal:
// the dialog that opened it stays usable beside it.

#include <QWidget>

class QTextBrowser;

class CHelpWnd : public QWidget {
    Q_OBJECT

public:
    // Opens the one help window for owner's dialog, or raises it when it is open, at the
    // section with this heading. Returns false, opening nothing, when the manual cannot be
    // read.
    static bool ShowSection(QWidget* owner, const QString& heading);

    // The narrowest the help opens beside a window, a column of text.
    static constexpr int kMinimumWidth = 300;

private:
    CHelpWnd(const QString& markdown, QWidget* dialog);
    // Opens beside the dialog, which it would otherwise cover.
    void MoveBeside(const QWidget* dialog);

    QTextBrowser* m_browser;
};
