#pragma once
// The one guard around the dialogs' handlers, and the boxes and cursor they show.

#include <QCursor>
#include <QGuiApplication>

#include <functional>
#include <string>
#include <utility>

class QWidget;

namespace taplore {
struct DialogMessage;
}

// The caption of program-level message boxes: the executable's name without its extension.
std::string ApplicationName();

// A modal box with one OK button, owned by owner.
void ShowMessage(QWidget* owner, const taplore::DialogMessage& message);

// Runs a handler. Memory exhaustion ("Out of memory.") and file failures (their cause) are
// reported in a box captioned with the program's name; what the handler did stays done.
void RunGuarded(QWidget* owner, const std::function<void()>& handler);

// What connect() is given for a handler: the handler, run inside RunGuarded.
template <class Receiver, class... Args>
auto Guarded(Receiver* receiver, void (Receiver::*handler)(Args...)) {
    return [receiver, handler](Args... args) {
        RunGuarded(receiver, [&] { (receiver->*handler)(args...); });
    };
}

// Shows the wait cursor while it lives; Restore() takes it away early, before a message box.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Restore() {
        if (std::exchange(m_shown, false))
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool m_shown = true;
};
