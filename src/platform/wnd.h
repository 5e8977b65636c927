#pragma once
// CWnd: a window object that wraps one native widget, created after the object itself.
// Handlers are bound per class in one place (its message map) and run inside a guard
// that reports framework-level failures the way a desktop framework does.

#include "platform/types.h"

#include <functional>
#include <map>
#include <string>

class QWidget;

enum class MessageIcon { stop, exclamation };

// Command numbers of the system menu that the framework handles itself.
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_CLOSE = 0xF060;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // A visible plain child window over rect (parent client coordinates), background not erased.
    bool Create(CWnd* pParent, const CRect& rect, int id);

    QWidget* GetWidget() const { return m_pWidget; }
    CRect GetClientRect() const;
    void ScreenToClient(CRect& rect) const;
    bool IsIconic() const;

    // Invalidates the window and its children; UpdateWindow then paints them at once.
    void Invalidate();
    void UpdateWindow();

    // A modal message box owned by this window, with one OK button.
    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon);

    // Runs a handler the way the framework dispatches messages: memory exhaustion and file
    // failures are reported with the application's name as caption; the window keeps running.
    void RunHandler(const std::function<void()>& handler);
    // Painting failures are silent: drawing stops and the area counts as painted.
    void RunPaintHandler();
    bool HasPaintHandler() const { return static_cast<bool>(m_paintHandler); }
    // A horizontal scroll notification; code is the scroll request, 0 when posted by the program.
    void SendHScroll(int code);

protected:
    // The message map: each class binds its handlers in one function, called by its constructor.
    template <class T> void BindPaint(void (T::*handler)()) {
        m_paintHandler = [this, handler] { (static_cast<T*>(this)->*handler)(); };
    }
    template <class T> void BindHScroll(void (T::*handler)(int)) {
        m_hscrollHandler = [this, handler](int code) { (static_cast<T*>(this)->*handler)(code); };
    }

    // The widget this object owns and deletes (created by Create or by a dialog).
    void AdoptWidget(QWidget* pWidget) { m_pWidget = pWidget; }
    // Notifications are dropped while a data exchange runs.
    bool m_bLockNotify = false;

private:
    QWidget* m_pWidget = nullptr;
    std::function<void()> m_paintHandler;
    std::function<void(int)> m_hscrollHandler;
};

// The size of a window's big icon, in pixels.
int GetStandardIconSize();

// The caption of framework-level message boxes: the executable's name without extension.
std::string AfxGetAppName();
void AfxMessageBox(const std::string& text, MessageIcon icon);
