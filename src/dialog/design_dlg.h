#pragma once
// CDesignDlg: the program's main window. The user sets the order, the sampling rate and
// two cutoffs; Calculate designs the filter, lists its taps and plots its spectrum.

#include "platform/controls.h"
#include "platform/dialog.h"
#include "spectrum/spectrum_wnd.h"

#include <memory>

class CDesignDlg : public CDialog {
public:
    explicit CDesignDlg(CWnd* pParent = nullptr);

    // Designs into the coefficient buffer; returns the tap count or -1 (see DesignFilter).
    int DesignFilter(int order, double f1, double f2);

    bool OnInitDialog() override;
    void OnSysCommand(unsigned id, long param);
    void OnPaint();
    CIcon OnQueryDragIcon() const;
    void OnHScroll(int code);
    void OnChangeSampleRate();
    void OnCalculate();
    void OnSave();

    int CoefficientCount() const { return m_nCoef; }
    CSpectrumWnd& SpectrumWindow() { return m_wndSpectrum; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void BindMessages();
    void CreateSpectrumWindow();
    void AppendAboutToSystemMenu();
    void ShowError(const char* text);

    CStatic m_labelLow;
    CSliderCtrl m_sliderLow;
    CStatic m_labelHigh;
    CSliderCtrl m_sliderHigh;
    CListBox m_listCoef;
    int m_nOrder = 511;
    int m_nSampleRate = 8000;
    CSpectrumWnd m_wndSpectrum;
    // Shared with the list box, which keeps showing the taps it was given.
    std::shared_ptr<double[]> m_pCoef;
    int m_nCoef = 0;
    CIcon m_hIcon;
};
