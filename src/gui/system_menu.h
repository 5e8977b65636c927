#pragma once
// X11 and Wayland give a program no way into the window manager's own window menu, so a
// dialog offers its system menu as the context menu of its free space: right click,
// Shift+F10 or the Menu key.

#include <QMenu>
#include <QObject>

class QDialog;

// Command numbers of the entries every system menu has.
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_CLOSE = 0xF060;

class SystemMenu : public QObject {
    Q_OBJECT

public:
    // Minimize is offered only where the dialog has a minimise box.
    SystemMenu(QDialog* dialog, bool minimizeBox);

    void AppendSeparator();
    void AppendMenu(unsigned id, const QString& text);

    // What the dialog does for Minimize and Close.
    static void DefaultSysCommand(QDialog* dialog, unsigned id);

signals:
    void sysCommand(unsigned id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDialog* m_dialog;
    QMenu m_menu;
};
