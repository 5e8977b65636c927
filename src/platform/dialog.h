#pragma once
// CDialog: a modal dialog built from a template in dialog units. Enter runs the default
// button, Escape and the close box cancel, and the dialog opens centred.

#include "platform/dialog_template.h"
#include "platform/wnd.h"

#include <QIcon>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CDialog;
class CStatic;
class CSliderCtrl;
class CListBox;
struct DialogUnits;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// An icon resource; cheap to copy.
class CIcon {
public:
    CIcon() = default;
    explicit CIcon(QIcon icon) : m_icon(std::move(icon)) {}
    const QIcon& Get() const { return m_icon; }

private:
    QIcon m_icon;
};

// The system menu the platform gives each dialog: Minimize and Close, then the program's items.
class CMenu {
public:
    void AppendSeparator();
    void AppendMenu(unsigned id, const std::string& text);
    // Shows the menu at a screen position; returns the chosen command, or 0.
    unsigned Track(QWidget* pOwner, int x, int y) const;

private:
    struct Item {
        unsigned id; // 0 for a separator
        std::string text;
    };
    std::vector<Item> m_items{{SC_MINIMIZE, "Mi&nimize"}, {SC_CLOSE, "&Close"}};
};

class CDataExchange {
public:
    CDataExchange(CDialog* pDlg, bool bSaveAndValidate)
        : m_pDlg(pDlg), m_bSaveAndValidate(bSaveAndValidate) {}
    CDialog* m_pDlg;
    bool m_bSaveAndValidate;
};

void DDX_Control(CDataExchange* pDX, int id, CStatic& control);
void DDX_Control(CDataExchange* pDX, int id, CSliderCtrl& control);
void DDX_Control(CDataExchange* pDX, int id, CListBox& control);
// Integers as "%d" into the edit; back by the atoi rules.
void DDX_Text(CDataExchange* pDX, int id, int& value);

class CDialog : public CWnd {
public:
    CDialog(int templateId, CWnd* pParent = nullptr);

    // Builds the dialog, initialises it and runs it; returns IDOK or IDCANCEL.
    int DoModal();
    // Builds and initialises the dialog's window without running it.
    void CreateDialogWindow();
    void EndDialog(int result);
    bool UpdateData(bool bSaveAndValidate = true);

    QWidget* GetDlgItem(int id) const;
    CRect GetDlgItemWindowRect(int id) const; // screen coordinates
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);

    // Queues a horizontal scroll notification without a scroll bar, run after this handler.
    void PostHScroll();
    CMenu* GetSystemMenu() { return &m_systemMenu; }
    void SetIcon(const CIcon& icon, bool bBigIcon);
    int GetTemplateId() const { return m_template.id; }

    // Platform events, called by the dialog's widget.
    void OnCommand(int id);
    void OnSystemMenuRequested(int screenX, int screenY);
    void OnHelpKey();

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
    // The framework's own handling of system commands (minimise, close).
    void DefaultSysCommand(unsigned id);

    template <class T> void BindClicked(int id, void (T::*handler)()) {
        m_commandHandlers[id] = [this, handler] { (static_cast<T*>(this)->*handler)(); };
    }
    template <class T> void BindChange(int id, void (T::*handler)()) {
        m_changeHandlers[id] = [this, handler] { (static_cast<T*>(this)->*handler)(); };
    }
    template <class T> void BindSysCommand(void (T::*handler)(unsigned, long)) {
        m_sysCommandHandler = [this, handler](unsigned id, long param) {
            (static_cast<T*>(this)->*handler)(id, param);
        };
    }

private:
    void BuildWidgets();
    QWidget* CreateControl(const ControlTemplate& control, const DialogUnits& units);
    void ConnectNotifications(const ControlTemplate& control, QWidget* pControl);
    void OnEditChanged(int id);
    void FocusFirstTabStop();
    void CentreWindow();

    const DialogTemplate& m_template;
    CWnd* m_pParent;
    CMenu m_systemMenu;
    std::map<int, QWidget*> m_controls;
    std::map<int, std::function<void()>> m_commandHandlers;
    std::map<int, std::function<void()>> m_changeHandlers;
    std::function<void(unsigned, long)> m_sysCommandHandler;
};
