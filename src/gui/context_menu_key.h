#pragma once
// Shift+F10, the keyboard's other way to the Menu key: X11 and Wayland give no window this key
// of their own.

class QEvent;
class QWidget;

bool IsShiftF10(const QEvent* event);

// Asks target for its context menu as the Menu key does; a control without a menu of its own
// passes the request up to its window.
void RequestContextMenu(QWidget* target);

// Shift+F10 anywhere in window opens the context menu of the control with the focus.
void AddContextMenuKey(QWidget* window);
