#include "gui/system_menu.h"

#include "gui/context_menu_key.h"

#include <QContextMenuEvent>
#include <QDialog>

SystemMenu::SystemMenu(QDialog* dialog, bool minimizeBox) : QObject(dialog), m_dialog(dialog) {
    if (minimizeBox)
        AppendMenu(SC_MINIMIZE, tr("Mi&nimize"));
    AppendMenu(SC_CLOSE, tr("&Close"));
    dialog->installEventFilter(this);
}

void SystemMenu::AppendSeparator() {
    m_menu.addSeparator();
}

void SystemMenu::AppendMenu(unsigned id, const QString& text) {
    m_menu.addAction(text)->setData(id);
}

void SystemMenu::DefaultSysCommand(QDialog* dialog, unsigned id) {
    if (id == SC_MINIMIZE)
        dialog->showMinimized();
    else if (id == SC_CLOSE)
        dialog->reject();
}

bool SystemMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_dialog)
        return false;
    if (event->type() == QEvent::ContextMenu) {
        // The command runs once the menu has closed.
        if (const QAction* chosen =
                m_menu.exec(static_cast<QContextMenuEvent*>(event)->globalPos()))
            emit sysCommand(chosen->data().toUInt());
        return true;
    }
    if (IsShiftF10(event)) {
        RequestContextMenu(m_dialog->focusWidget() ? m_dialog->focusWidget() : m_dialog);
        return true;
    }
    return false;
}
