#include "win32/design_dlg.h"

#include "core/dialog/about.h"
#include "core/dialog/dialog_messages.h"
#include "core/formats/crt.h"
#include "core/io/windows/wide_text.h"
#include "win32/about_dlg.h"
#include "win32/dialog_procedure.h"
#include "win32/guard.h"
#include "win32/help_wnd.h"
#include "win32/layout.h"
#include "win32/progress_dlg.h"
#include "win32/resource.h"
#include "win32/window_text.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

namespace {

// Room for the longest path Windows knows (32,767 characters).
constexpr DWORD kPathCapacity = 32'768;

HICON LoadProgramIcon(int systemMetricX, int systemMetricY) {
    return static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
        ::GetSystemMetrics(systemMetricX), ::GetSystemMetrics(systemMetricY), LR_DEFAULTCOLOR));
}

} // namespace

CDesignDlg::CDesignDlg()
    : m_hIcon(LoadProgramIcon(SM_CXICON, SM_CYICON)),
      m_hIconSmall(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)) {}

CDesignDlg::~CDesignDlg() {
    ::DestroyIcon(m_hIcon);
    ::DestroyIcon(m_hIconSmall);
}

void CDesignDlg::DoModal() {
    RunModal(*this, IDD_DESIGN, nullptr);
}

INT_PTR CDesignDlg::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        m_hwnd = window;
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_HSCROLL:
        RunGuarded(m_hwnd, [this] { OnHScroll(); });
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam);
    case WM_HELP:
        CHelpWnd::OnHelp(m_hwnd, taplore::kDesignDialogId);
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    default:
        return FALSE;
    }
}

// Returns true: the system gives the focus to the first tab stop, the list.
BOOL CDesignDlg::OnInitDialog() {
    m_writingStartValues = true;
    SetText(IDC_EDIT_ORDER, crt::FormatD(taplore::kStartOrder));
    SetText(IDC_EDIT_RATE, crt::FormatD(taplore::kStartSampleRate));
    m_writingStartValues = false;
    FitTexts();
    m_listCoef.Attach(Control(IDC_LIST_COEF));
    m_wndSpectrum.Create(m_hwnd, Control(IDC_FRAME_SPECTRUM));

    InitSlider(IDC_SLIDER_LOW, taplore::kStartLowPosition);
    SetText(IDC_LABEL_LOW, taplore::kStartLowLabel);
    InitSlider(IDC_SLIDER_HIGH, taplore::kStartHighPosition);
    SetText(IDC_LABEL_HIGH, taplore::kStartHighLabel);

    if (const HMENU systemMenu = ::GetSystemMenu(m_hwnd, FALSE)) {
        wchar_t about[64] = L"";
        if (::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 64) > 0) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, taplore::kAboutCommand, about);
        }
    }
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIconSmall));
    return TRUE;
}

// The font in use may be wider than the one the template was laid out for.
void CDesignDlg::FitTexts() {
    for (const int caption : {IDC_CAPTION_ORDER, IDC_CAPTION_RATE, IDC_CAPTION_COEF})
        WidenToFitText(Control(caption), Text(caption));
    for (const int edit : {IDC_EDIT_ORDER, IDC_EDIT_RATE})
        WidenToFitText(Control(edit), Text(edit));
    // The cutoff labels show "%8.1f" of up to half the rate: room for five-digit frequencies.
    for (const int label : {IDC_LABEL_LOW, IDC_LABEL_HIGH})
        WidenToFitText(Control(label), crt::FormatF8_1(99999.9));
}

// Range and position set from code raise no notification: only user actions reach OnHScroll.
void CDesignDlg::InitSlider(int id, int position) {
    const HWND slider = Control(id);
    ::SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, taplore::kSliderMax));
    ::SendMessageW(slider, TBM_SETPAGESIZE, 0, taplore::kSliderPageStep);
    ::SendMessageW(slider, TBM_SETTICFREQ, taplore::kSliderPageStep, 0);
    ::SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

void CDesignDlg::OnCommand(int id, int code) {
    switch (id) {
    case IDC_CALCULATE:
        RunGuarded(m_hwnd, [this] { OnCalculate(); });
        break;
    case IDC_SAVE:
        RunGuarded(m_hwnd, [this] { OnSave(); });
        break;
    case IDC_EDIT_RATE:
        if (code == EN_CHANGE && !m_writingStartValues)
            RunGuarded(m_hwnd, [this] { OnChangeSampleRate(); });
        break;
    case IDCANCEL: // Escape, the close box, Alt+F4 and the system menu's Close
        ::EndDialog(m_hwnd, IDCANCEL);
        break;
    default:
        break;
    }
}

bool CDesignDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_LIST_COEF || header.code != LVN_GETDISPINFOW)
        return false;
    // Formatting a row can fail only for want of memory: the row then shows nothing.
    try {
        m_listCoef.OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
    } catch (const std::bad_alloc&) {
    }
    return true;
}

// The About entry, also under a number that differs only in the low four bits; everything
// else is the system's.
bool CDesignDlg::OnSysCommand(WPARAM id) {
    if (!taplore::IsAboutCommand(static_cast<unsigned>(id)))
        return false;
    RunGuarded(m_hwnd, [this] { CAboutDlg::DoModal(m_hwnd); });
    return true;
}

// Both labels are refreshed together, whichever slider moved, high first.
void CDesignDlg::OnHScroll() {
    const double fs = taplore::SampleRate(Text(IDC_EDIT_RATE));
    const auto label = [this, fs](int slider) {
        const HWND control = Control(slider);
        return taplore::CutoffLabel(
            static_cast<int>(::SendMessageW(control, TBM_GETPOS, 0, 0)),
            static_cast<int>(::SendMessageW(control, TBM_GETRANGEMAX, 0, 0)), fs);
    };
    SetText(IDC_LABEL_HIGH, label(IDC_SLIDER_HIGH));
    SetText(IDC_LABEL_LOW, label(IDC_SLIDER_LOW));
}

// Straight from the edit's change: the labels follow the new rate before any input already
// waiting behind it (Enter for Calculate, say) is handled.
void CDesignDlg::OnChangeSampleRate() {
    OnHScroll();
}

void CDesignDlg::OnCalculate() {
    using Designed = taplore::DesignDialog::Designed;
    WaitCursor wait;
    const DesignRequest request = taplore::ReadRequest(Text(IDC_EDIT_ORDER), Text(IDC_EDIT_RATE),
                                                       Text(IDC_LABEL_LOW), Text(IDC_LABEL_HIGH));
    const Designed designed = m_design.Design(request, BehindProgressBox());
    if (designed == Designed::stopped)
        return; // cancelled: the list and the plot keep the last design, and nothing is said
    if (designed == Designed::failed) {
        wait.Restore();
        ShowError(taplore::DesignFailedMessage());
        return;
    }
    m_listCoef.SetValues(m_design.Taps(), m_design.TapCount());
    if (m_wndSpectrum.ComputeSpectrum(m_design.Taps().get(), m_design.TapCount(), request.rate) <
        0) {
        wait.Restore();
        ShowError(taplore::MagnitudeFailedMessage());
        return;
    }
    // The dialog and the plot repaint before Calculate returns.
    ::RedrawWindow(m_hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

taplore::LongWork CDesignDlg::BehindProgressBox() {
    return [this](const char* text, const std::function<void(const Progress&)>& work) {
        CProgressDlg progress(m_hwnd, text);
        progress.Run(work);
    };
}

void CDesignDlg::OnSave() {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    const std::wstring name = Wide(taplore::kSaveFileName);
    std::copy(name.begin(), name.end(), path.begin());
    const std::wstring extension = Wide(taplore::kSaveExtension);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hwnd;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!::GetSaveFileNameW(&dialog))
        return;
    // A long save runs behind a progress box; its Cancel keeps the old file and says nothing.
    m_design.Save(Utf8FromWide(path.data()), BehindProgressBox());
}

void CDesignDlg::ShowError(const taplore::DialogMessage& message) {
    ShowMessage(m_hwnd, message);
}

std::string CDesignDlg::Text(int id) const {
    return WindowText(Control(id));
}

void CDesignDlg::SetText(int id, const std::string& text) {
    SetWindowTextUtf8(Control(id), text);
}

HWND CDesignDlg::Control(int id) const {
    return ::GetDlgItem(m_hwnd, id);
}
