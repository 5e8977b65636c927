#include "gui/context_menu_key.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

bool IsShiftF10(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
}

void RequestContextMenu(QWidget* target) {
    const QPoint pos = target->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos));
    QCoreApplication::sendEvent(target, &request);
}

void AddContextMenuKey(QWidget* window) {
    auto* key = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), window);
    QObject::connect(key, &QShortcut::activated, window, [window] {
        RequestContextMenu(window->focusWidget() ? window->focusWidget() : window);
    });
}
