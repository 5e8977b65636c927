#include "dialog/design_dlg.h"

#include "app/about_dlg.h"
#include "core/coef_file.h"
#include "core/fir_design.h"
#include "core/crt.h"
#include "platform/file_dialog.h"
#include "platform/paint_dc.h"
#include "platform/wait_cursor.h"
#include "platform/win_app.h"
#include "res/resource.h"

namespace {

constexpr int kSliderMax = 1000;

// A slider's cutoff in Hz: the fraction pos/max of half the sampling rate.
std::string CutoffLabel(const CSliderCtrl& slider, double fs) {
    return crt::FormatF8_1(slider.GetPos() * fs * 0.5 / slider.GetRangeMax());
}

} // namespace

CDesignDlg::CDesignDlg(CWnd* pParent)
    : CDialog(IDD_DESIGN_DIALOG, pParent), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)) {
    BindMessages();
}

void CDesignDlg::BindMessages() {
    BindSysCommand(&CDesignDlg::OnSysCommand);
    BindPaint(&CDesignDlg::OnPaint);
    BindHScroll(&CDesignDlg::OnHScroll);
    BindClicked(IDC_CALCULATE, &CDesignDlg::OnCalculate);
    BindClicked(IDC_SAVE, &CDesignDlg::OnSave);
    BindChange(IDC_EDIT_SAMPLE_RATE, &CDesignDlg::OnChangeSampleRate);
}

void CDesignDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_LABEL_LOW, m_labelLow);
    DDX_Control(pDX, IDC_SLIDER_LOW, m_sliderLow);
    DDX_Control(pDX, IDC_LABEL_HIGH, m_labelHigh);
    DDX_Control(pDX, IDC_SLIDER_HIGH, m_sliderHigh);
    DDX_Control(pDX, IDC_LIST_COEF, m_listCoef);
    // The declared ranges (3 ... 400 and 1 ... 100000) are never checked: nothing reads back.
    DDX_Text(pDX, IDC_EDIT_ORDER, m_nOrder);
    DDX_Text(pDX, IDC_EDIT_SAMPLE_RATE, m_nSampleRate);
}

int CDesignDlg::DesignFilter(int order, double f1, double f2) {
    return ::DesignFilter(m_pCoef, m_nCoef, order, f1, f2);
}

bool CDesignDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CreateSpectrumWindow();

    m_sliderLow.SetRange(0, kSliderMax, false);
    m_sliderLow.SetPos(100);
    m_labelLow.SetWindowText("400");
    m_sliderHigh.SetRange(0, kSliderMax, false);
    m_sliderHigh.SetPos(600);
    m_labelHigh.SetWindowText("2400");

    AppendAboutToSystemMenu();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return true;
}

void CDesignDlg::CreateSpectrumWindow() {
    CRect rect = GetDlgItemWindowRect(IDC_SPECTRUM_FRAME);
    rect.DeflateRect(5);
    ScreenToClient(rect);
    m_wndSpectrum.Create(this, rect, 0);
}

void CDesignDlg::AppendAboutToSystemMenu() {
    CMenu* pSysMenu = GetSystemMenu();
    if (!pSysMenu)
        return;
    const std::string about = AfxGetApp()->LoadString(IDS_ABOUTBOX);
    if (about.empty())
        return;
    pSysMenu->AppendSeparator();
    pSysMenu->AppendMenu(IDM_ABOUTBOX, about);
}

void CDesignDlg::OnSysCommand(unsigned id, long /*param*/) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    } else {
        DefaultSysCommand(id);
    }
}

void CDesignDlg::OnPaint() {
    // Only a minimised dialog needs drawing here; otherwise the platform draws the dialog.
    if (!IsIconic())
        return;
    CPaintDC dc(this);
    const CRect client = GetClientRect();
    dc.EraseBackground(client);
    const int x = (client.Width() - GetStandardIconSize() + 1) / 2;
    const int y = (client.Height() - GetStandardIconSize() + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

CIcon CDesignDlg::OnQueryDragIcon() const {
    return m_hIcon;
}

void CDesignDlg::OnHScroll(int /*code*/) {
    const double fs = crt::Atof(GetDlgItemText(IDC_EDIT_SAMPLE_RATE));
    m_labelHigh.SetWindowText(CutoffLabel(m_sliderHigh, fs));
    m_labelLow.SetWindowText(CutoffLabel(m_sliderLow, fs));
}

void CDesignDlg::OnChangeSampleRate() {
    // Posted, so the labels are recomputed once the edit has finished changing.
    PostHScroll();
}

void CDesignDlg::OnCalculate() {
    CWaitCursor wait;
    const int order = crt::Atoi(GetDlgItemText(IDC_EDIT_ORDER));
    const double fs = crt::Atof(GetDlgItemText(IDC_EDIT_SAMPLE_RATE));
    const double low = crt::Atof(m_labelLow.GetWindowText());
    const double high = crt::Atof(m_labelHigh.GetWindowText());
    const double f1 = (low / fs) * 2;
    const double f2 = (high / fs) * 2;

    if (DesignFilter(order, f1, f2) < 0) {
        wait.Restore();
        ShowError("Calculating FIR coefficients failed!");
        return;
    }
    m_listCoef.ResetContent();
    m_listCoef.ShowValues(m_pCoef, m_nCoef);
    if (m_wndSpectrum.ComputeSpectrum(m_pCoef.get(), m_nCoef) < 0) {
        wait.Restore();
        ShowError("Calculating magnitude failed!");
        return;
    }
    Invalidate();
    UpdateWindow();
}

void CDesignDlg::OnSave() {
    CFileDialog dialog("txt", "FIR_Coef", this);
    if (dialog.DoModal() != IDOK)
        return;
    WriteCoefficientFile(dialog.GetPathName(), m_pCoef.get(), m_nCoef);
}

void CDesignDlg::ShowError(const char* text) {
    MessageBox(text, "Error", MessageIcon::stop);
}
