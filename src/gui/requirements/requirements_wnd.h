#pragma once
// CRequirementsWnd: design to requirements. The rate, the pass and stop bands with the ripple
// or attenuation each must keep, the method and the length go in; the design follows every
// edit after a short pause, with what each band reached against what it asked, the magnitude
// over the shaded bands, a second view, the taps, Save and Export.

#include "core/document/requirements_presenter.h"
#include "gui/requirements/live_design.h"

#include <QWidget>

#include <memory>
#include <optional>

class BandModel;
class CDocumentFile;
class CFixedPointPanel;
class CNyquistRow;
class CPhaseRow;
class CPlotWnd;
class CPulseRow;
class CRateChangeRow;
class CZerosPlot;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QTableWidget;
class TapsMenu;
class ValueList;
namespace taplore {
enum class BandPreset;
}
using taplore::BandPreset;

class CRequirementsWnd : public QWidget {
    Q_OBJECT

public:
    explicit CRequirementsWnd(QWidget* parent = nullptr);
    ~CRequirementsWnd() override;

    // Tests wait for this: a design's result is on screen.
    int DesignsShown() const { return m_designsShown; }
    // The document's file: its menu, questions and recovery copy.
    CDocumentFile& DocumentFile() const { return *m_file; }
    // A document to open once the window is first shown, after a crashed session's copy is
    // offered: `taplore FILE.taplore`.
    void OpenAtStart(const QString& path) { m_startFile = path; }

signals:
    void designShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void OnRequirementsChanged();
    void OnDesigned(std::shared_ptr<const DesignShown> shown);
    void OnMethodChanged();
    void OnAddBand();
    void OnRemoveBand();
    void OnPreset(BandPreset preset);
    void OnViewChanged();
    void OnZoomToggled();
    void OnBitsChanged();
    void OnSave();
    void OnExport();

private:
    // The Method combo's pulses: their shape's name in this role, the default method's in the
    // method's, for the bands kept meanwhile.
    static constexpr int kPulseRole = Qt::UserRole + 1;

    void setupModel();
    void setupViews();
    void connectViews();
    void NameControls();
    QWidget* RequirementsPanel();
    QWidget* ResultPanel();
    QWidget* PlotPanel();
    void RestoreSettings();
    void SaveSettings() const;

    taplore::WindowInputs ReadInputs() const;
    void ShowInputs(const taplore::WindowInputs& inputs);
    void ShowPulse(const taplore::WindowPulse& pulse);
    // The method named chosen, or the default one for a name absent or unknown.
    void ChooseMethod(const QString& name);
    void ShowState();
    void ShowCurrent(bool current);
    void ShowResult();
    void ShowBandFigures(const taplore::ResultTexts& texts);
    int FiguresHeight(int rows) const;
    void FitFigures(bool rateChange);
    const taplore::Method& ChosenMethod() const;
    void ShowMagnitude();
    void ShowSecondView();
    double Rate() const;

    BandModel* m_modelBands;
    CLiveDesign* m_live;
    QLineEdit* m_editRate;
    QTableView* m_tableBands;
    QPushButton* m_buttonAdd;
    QPushButton* m_buttonRemove;
    QComboBox* m_comboMethod;
    QRadioButton* m_radioFewest;
    QRadioButton* m_radioFixed;
    QSpinBox* m_spinTaps;
    CPhaseRow* m_phase;
    CNyquistRow* m_nyquist;
    CPulseRow* m_pulse;
    QStackedWidget* m_stackLength; // the length, or a pulse's figures in its place
    CRateChangeRow* m_rateChange;
    QLabel* m_labelProblem;
    QLabel* m_labelHeadline;
    QTableWidget* m_tableFigures;
    QLabel* m_labelShorter;
    QLabel* m_labelPhase;
    QLabel* m_labelNote;
    CPlotWnd* m_plotMagnitude;
    QCheckBox* m_checkZoom;
    QComboBox* m_comboView;
    CPlotWnd* m_plotView;
    CZerosPlot* m_plotZeros;
    ValueList* m_listTaps;
    TapsMenu* m_menuTaps;
    QLineEdit* m_editBits;
    QLabel* m_labelBitsProblem;
    QPushButton* m_buttonSave;
    QPushButton* m_buttonExport;
    CFixedPointPanel* m_panelFixed;
    // What the window does; the last design shown stays drawn while the requirements are
    // wrong.
    taplore::RequirementsPresenter m_presenter;
    CDocumentFile* m_file;
    QString m_startFile;
    bool m_shownOnce = false;
    int m_designsShown = 0;
};
