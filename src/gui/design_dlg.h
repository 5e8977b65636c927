#pragma once
// CDesignDlg: the program's main window. The user sets the order, the sampling rate and two
// cutoffs; Calculate designs the filter, lists its taps and plots its spectrum; Save writes
// the taps to a text file.

#include "core/dialog/about.h"
#include "core/dialog/design_dialog.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <cstdint>

namespace taplore {
struct DialogMessage;
}

class CRequirementsWnd;
class CSpectrumWnd;
class DigitsEdit;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class SystemMenu;
class TapsMenu;
class ValueList;

class CDesignDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = taplore::kDesignDialogId }; // the template number, which picks the help section

    explicit CDesignDlg(QWidget* parent = nullptr);

    // Tests make short work long enough for the progress box by lowering the tap counts from
    // which Calculate and Save show it.
    void SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps);

    // The dialog ends the program: the requirements window beside it closes first, and where
    // its unsaved changes are kept (Cancel), the dialog stays.
    void done(int result) override;

private slots:
    void OnSysCommand(unsigned id);
    void OnHScroll();
    void OnChangeSampleRate();
    void OnCalculate();
    void OnSave();

private:
    void CreateControls();
    void NameControls();
    void ConnectHandlers();
    void OnInitDialog();
    void OpenRequirements();
    // Long work behind a progress box whose Cancel stops it.
    taplore::LongWork BehindProgressBox();
    void ShowError(const taplore::DialogMessage& message);

    QFrame* m_frameSpectrum;
    ValueList* m_listCoef;
    DigitsEdit* m_editOrder;
    QSlider* m_sliderLow;
    QSlider* m_sliderHigh;
    QPushButton* m_buttonCalculate;
    QPushButton* m_buttonSave;
    QLabel* m_labelLow;
    QLabel* m_labelHigh;
    DigitsEdit* m_editSampleRate;
    CSpectrumWnd* m_wndSpectrum;
    SystemMenu* m_systemMenu;
    TapsMenu* m_menuTaps;
    QPointer<CRequirementsWnd> m_wndRequirements;
    int m_nOrder = taplore::kStartOrder;
    int m_nSampleRate = taplore::kStartSampleRate;
    // The coefficient buffer, whose taps the list shares, and what it was designed from.
    taplore::DesignDialog m_design;
    QIcon m_hIcon;
};
