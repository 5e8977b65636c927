#pragma once
// CDesignDlg: the program's main window. The user sets the order, the sampling rate and two
// cutoffs; Calculate designs the filter, lists its taps and plots its spectrum; Save writes
// the taps to a text file.

#include "core/design/fir_design.h"
#include "core/formats/fixed_point.h"

#include <QDialog>
#include <QIcon>

#include <cstdint>
#include <memory>
#include <string_view>

class CSpectrumWnd;
class QAction;
class DigitsEdit;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class SystemMenu;
class ValueList;

class CDesignDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 102 }; // the template number, which picks the help section

    explicit CDesignDlg(QWidget* parent = nullptr);

    // Designs into the coefficient buffer; returns the tap count, -1 or kDesignStopped (see
    // ::DesignFilter). A long design runs behind a progress box whose Cancel stops it.
    int DesignFilter(int order, double f1, double f2);

    // Tests make short work long enough for the progress box by lowering the tap counts from
    // which Calculate and Save show it.
    void SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps);

private slots:
    void OnSysCommand(unsigned id);
    void OnHScroll();
    void OnChangeSampleRate();
    void OnCalculate();
    void OnSave();
    void OnCopy();
    void OnCopyFull();
    void OnCopyCArray();
    void OnCopyQ15CArray();
    void OnCopyQ31CArray();
    void OnCopyCsv();
    void OnCopyJson();

private:
    void CreateControls();
    void NameControls();
    void CreateCopyActions();
    void EnableCopyActions();
    void CopyToClipboard(const std::string& text);
    void CopyFixedPointCArray(QFormat format);
    void CopyAs(std::string_view format);
    void ConnectHandlers();
    void OnInitDialog();
    void ShowError(const QString& text);
    void SaveCoefficients(const std::string& path);

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
    QAction* m_actionCopy;
    QAction* m_actionCopyFull;
    QAction* m_actionCopyCArray;
    QAction* m_actionCopyQ15CArray;
    QAction* m_actionCopyQ31CArray;
    QAction* m_actionCopyCsv;
    QAction* m_actionCopyJson;
    int m_nOrder = 511;
    int m_nSampleRate = 8000;
    // Shared with the list, which keeps showing the taps it was given.
    std::shared_ptr<double[]> m_pCoef;
    int m_nCoef = 0;
    std::int64_t m_progressDesignTaps;
    int m_progressSaveTaps;
    // What the taps were designed from, for the comment of a C array.
    DesignRequest m_request;
    QIcon m_hIcon;
};
