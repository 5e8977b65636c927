#pragma once
// CDesignDlg: the program's main window. The user sets the order, the sampling rate and two
// cutoffs; Calculate designs the filter, lists its taps and plots its spectrum; Save writes
// the taps to a text file.

#include "core/dialog/design_dialog.h"
#include "win32/coef_list.h"
#include "win32/spectrum_wnd.h"

#include <windows.h>

#include <string>

namespace taplore {
struct DialogMessage;
}

class CDesignDlg {
public:
    CDesignDlg();
    ~CDesignDlg();
    CDesignDlg(const CDesignDlg&) = delete;
    CDesignDlg& operator=(const CDesignDlg&) = delete;

    // Runs the dialog until it is closed.
    void DoModal();

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    BOOL OnInitDialog();
    void FitTexts();
    void InitSlider(int id, int position);
    void OnCommand(int id, int code);
    bool OnNotify(const NMHDR& header);
    bool OnSysCommand(WPARAM id);
    void OnHScroll();
    void OnChangeSampleRate();
    void OnCalculate();
    void OnSave();
    // Long work behind a progress box whose Cancel stops it.
    taplore::LongWork BehindProgressBox();
    void ShowError(const taplore::DialogMessage& message);
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    HWND Control(int id) const;

    HWND m_hwnd = nullptr;
    CCoefList m_listCoef;
    CSpectrumWnd m_wndSpectrum;
    // The coefficient buffer, whose taps the list shares.
    taplore::DesignDialog m_design;
    HICON m_hIcon;
    HICON m_hIconSmall;
    // While the start values are written, the edits' changes are not the user's.
    bool m_writingStartValues = false;
};
