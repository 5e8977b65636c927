#include "win32/progress_dlg.h"

#include "win32/dialog_procedure.h"
#include "win32/guard.h"
#include "win32/resource.h"
#include "win32/window_text.h"

#include <commctrl.h>

#include <new>
#include <system_error>
#include <utility>

namespace {

constexpr int kBarSteps = 1000;
// Often enough for the bar to move smoothly, seldom enough to cost nothing.
constexpr UINT kBarUpdateMs = 50;
constexpr UINT_PTR kBarTimer = 1;
// Posted by the work's thread when it has ended.
constexpr UINT WM_WORK_DONE = WM_APP + 1;

} // namespace

CProgressDlg::CProgressDlg(HWND owner, std::string text)
    : m_owner(owner), m_text(std::move(text)) {}

void CProgressDlg::Run(const std::function<void(const Progress&)>& work) {
    m_work = work;
    RunModal(*this, IDD_PROGRESS, m_owner);
    // Closed by Cancel or Escape: the work stops at its next step.
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_failure)
        std::rethrow_exception(m_failure);
}

INT_PTR CProgressDlg::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_TIMER:
        ::SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS,
                              static_cast<WPARAM>(m_done.load() * kBarSteps), 0);
        return TRUE;
    case WM_WORK_DONE:
        ::KillTimer(window, kBarTimer);
        ::EndDialog(window, IDOK);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            m_stop = true;
            ::KillTimer(window, kBarTimer);
            ::EndDialog(window, IDCANCEL);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// The box takes its owner's caption, and the work starts once the box exists, so that its end
// has a window to be posted to.
void CProgressDlg::OnInitDialog(HWND window) {
    m_hwnd = window;
    SetWindowTextUtf8(window, WindowText(m_owner));
    SetWindowTextUtf8(::GetDlgItem(window, IDC_PROGRESS_TEXT), m_text);
    ::SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarSteps);
    CenterOver(window, m_owner);
    ::SetTimer(window, kBarTimer, kBarUpdateMs, nullptr);
    try {
        m_thread = std::thread([this] {
            try {
                m_work([this](double done) { return Report(done); });
            } catch (...) {
                m_failure = std::current_exception();
            }
            ::PostMessageW(m_hwnd, WM_WORK_DONE, 0, 0);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the system is out of resources, reported as out of memory.
        m_failure = std::make_exception_ptr(std::bad_alloc());
        ::EndDialog(window, IDCANCEL);
    }
}

// Called from the work's threads.
bool CProgressDlg::Report(double done) {
    m_done = done;
    return !m_stop;
}
