#include "gui/design_dlg.h"

#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/formats/coef_format.h"
#include "core/formats/crt.h"
#include "core/io/file_output.h"
#include "gui/about_dlg.h"
#include "gui/design_app.h"
#include "gui/dialog_units.h"
#include "gui/digits_edit.h"
#include "gui/guard.h"
#include "gui/progress_dlg.h"
#include "gui/spectrum_wnd.h"
#include "gui/system_menu.h"
#include "gui/value_list.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>

namespace {

constexpr unsigned IDM_ABOUTBOX = 0x0010;
constexpr int kSliderMax = 1000;

// Work expected to take longer than about a third of a second runs behind a progress box.
// Measured on the 2-core build machine under load: designs run at 34 (band-stop) to 49
// (high-pass) million taps a second, saves at about 12 million (formatting 20, writing 27).
constexpr std::int64_t kProgressDesignTaps = 12'000'000;
constexpr int kProgressSaveTaps = 4'000'000;

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* NewCaption(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel* NewCutoffLabel(QWidget* parent, const QString& text) {
    QLabel* label = NewCaption(parent, text);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return label;
}

// A frame drawn behind its neighbours: lowered, and it must not take their clicks.
QGroupBox* NewGroupBox(QWidget* parent, const QString& title) {
    auto* group = new QGroupBox(title, parent);
    group->setAlignment(Qt::AlignHCenter);
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    return group;
}

DigitsEdit* NewDigitsEdit(QWidget* parent) {
    auto* edit = new DigitsEdit(parent);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

QSlider* NewSlider(QWidget* parent, QSlider::TickPosition ticks) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setTickPosition(ticks);
    return slider;
}

// Range and position set from code raise no notification: only user actions are connected.
void InitSlider(QSlider* slider, int position) {
    slider->setRange(0, kSliderMax);
    slider->setPageStep(kSliderMax / 5);
    slider->setValue(position);
}

// A slider's cutoff in Hz: the fraction position/maximum of half the sampling rate. The
// position is read mid-action too, before the slider has passed it on as its value.
QString CutoffLabel(const QSlider* slider, double fs) {
    return FromStd(crt::FormatF8_1(slider->sliderPosition() * fs * 0.5 / slider->maximum()));
}

// A cutoff label's accessible name says which cutoff it is, so its description carries the
// frequency a screen reader would otherwise not hear.
void SetCutoffText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text.trimmed() + " Hz");
}

} // namespace

CDesignDlg::CDesignDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_progressDesignTaps(kProgressDesignTaps), m_progressSaveTaps(kProgressSaveTaps),
      m_hIcon(CDesignApp::ProgramIcon()) {
    setWindowTitle("FIR Filter Design");
    setFont(QFont("DejaVu Serif", 10));
    CreateControls();
    CreateCopyActions();
    OnInitDialog();
    ConnectHandlers();
}

// Controls in tab order, at their places in dialog units; only the seven tab stops take
// the focus.
void CDesignDlg::CreateControls() {
    const DialogUnits units(font());
    setFixedSize(units.X(284), units.Y(164));
    m_frameSpectrum = new QFrame(this);
    m_frameSpectrum->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_frameSpectrum->setLineWidth(2);
    units.Place(m_frameSpectrum, 25, 10, 180, 80);
    m_listCoef = new ValueList(this);
    units.Place(m_listCoef, 220, 10, 60, 104);
    m_editOrder = NewDigitsEdit(this);
    units.Place(m_editOrder, 140, 138, 15, 12);
    QLabel* captionOrder = NewCaption(this, "Filter Order");
    units.Place(captionOrder, 124, 128, 46, 8);
    m_sliderLow = NewSlider(this, QSlider::TicksBelow);
    units.Place(m_sliderLow, 20, 95, 190, 10);
    m_sliderHigh = NewSlider(this, QSlider::TicksAbove);
    units.Place(m_sliderHigh, 20, 105, 190, 10);
    m_buttonCalculate = new QPushButton("Calculate", this);
    m_buttonCalculate->setDefault(true);
    units.Place(m_buttonCalculate, 174, 138, 50, 14);
    m_buttonSave = new QPushButton("Save", this);
    units.Place(m_buttonSave, 228, 138, 50, 14);
    units.Place(NewGroupBox(this, "Cutoff Frequency"), 10, 128, 65, 25);
    m_labelLow = NewCutoffLabel(this, "0.2");
    units.Place(m_labelLow, 15, 137, 25, 10);
    m_labelHigh = NewCutoffLabel(this, "0.5");
    units.Place(m_labelHigh, 45, 137, 25, 10);
    units.Place(NewGroupBox(this, "Log-Magnitude Spectrum"), 16, 0, 200, 120);
    m_editSampleRate = NewDigitsEdit(this);
    units.Place(m_editSampleRate, 90, 138, 23, 12);
    QLabel* captionRate = NewCaption(this, "Sampling Rate");
    units.Place(captionRate, 82, 128, 40, 8);
    QLabel* captionCoef = NewCaption(this, "Filter Coefficients");
    units.Place(captionCoef, 224, 0, 54, 8);

    for (QLabel* caption : {captionOrder, captionRate, captionCoef})
        WidenToFitText(caption);
    // The cutoff labels show "%8.1f" of up to half the rate: room for five-digit frequencies.
    for (QLabel* cutoff : {m_labelLow, m_labelHigh})
        WidenToFitText(cutoff, FromStd(crt::FormatF8_1(99999.9)));
    for (QGroupBox* group : findChildren<QGroupBox*>())
        group->lower();
    const QList<QWidget*> tabStops{m_listCoef,        m_editOrder,  m_sliderLow,     m_sliderHigh,
                                   m_buttonCalculate, m_buttonSave, m_editSampleRate};
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setFocusPolicy(tabStops.contains(control) ? Qt::StrongFocus : Qt::NoFocus);
    captionOrder->setBuddy(m_editOrder);
    captionRate->setBuddy(m_editSampleRate);
    captionCoef->setBuddy(m_listCoef);
    m_sliderLow->setAccessibleName("Low cutoff frequency");
    m_sliderHigh->setAccessibleName("High cutoff frequency");
    m_labelLow->setAccessibleName("Low cutoff");
    m_labelHigh->setAccessibleName("High cutoff");
    NameControls();
}

// Names for tests and for assistive technology to find the controls by.
void CDesignDlg::NameControls() {
    const std::pair<QWidget*, const char*> names[] = {{m_listCoef, "listCoef"},
                                                      {m_editOrder, "editOrder"},
                                                      {m_sliderLow, "sliderLow"},
                                                      {m_sliderHigh, "sliderHigh"},
                                                      {m_buttonCalculate, "calculate"},
                                                      {m_buttonSave, "save"},
                                                      {m_labelLow, "labelLow"},
                                                      {m_labelHigh, "labelHigh"},
                                                      {m_editSampleRate, "editSampleRate"}};
    for (const auto& [control, name] : names)
        control->setObjectName(name);
}

// Taps reach other software through the clipboard too: the saved file's text, every digit
// of each double, or a C array of doubles or of fixed-point integers.
void CDesignDlg::CreateCopyActions() {
    m_actionCopy = new QAction("&Copy", m_listCoef);
    m_actionCopy->setShortcut(QKeySequence::Copy);
    m_actionCopy->setShortcutContext(Qt::WidgetShortcut);
    m_actionCopyFull = new QAction("Copy at &full precision", m_listCoef);
    m_actionCopyCArray = new QAction("Copy as C &array", m_listCoef);
    m_actionCopyQ15CArray = new QAction("Copy as Q&15 C array", m_listCoef);
    m_actionCopyQ31CArray = new QAction("Copy as Q&31 C array", m_listCoef);
    m_listCoef->addActions({m_actionCopy, m_actionCopyFull, m_actionCopyCArray,
                            m_actionCopyQ15CArray, m_actionCopyQ31CArray});
    m_listCoef->setContextMenuPolicy(Qt::ActionsContextMenu);
    EnableCopyActions();
}

void CDesignDlg::EnableCopyActions() {
    for (QAction* action : m_listCoef->actions())
        action->setEnabled(m_nCoef > 0);
}

void CDesignDlg::ConnectHandlers() {
    connect(m_buttonCalculate, &QPushButton::clicked, this,
            Guarded(this, &CDesignDlg::OnCalculate));
    connect(m_buttonSave, &QPushButton::clicked, this, Guarded(this, &CDesignDlg::OnSave));
    // Straight from the edit's change: the labels follow the new rate before any input
    // already waiting behind it (Enter for Calculate, say) is handled.
    connect(m_editSampleRate, &QLineEdit::textChanged, this,
            Guarded(this, &CDesignDlg::OnChangeSampleRate));
    // Every user action counts, also one that leaves the position as it was.
    for (QSlider* slider : {m_sliderLow, m_sliderHigh}) {
        connect(slider, &QSlider::actionTriggered, this, Guarded(this, &CDesignDlg::OnHScroll));
        connect(slider, &QSlider::sliderPressed, this, Guarded(this, &CDesignDlg::OnHScroll));
    }
    connect(m_actionCopy, &QAction::triggered, this, Guarded(this, &CDesignDlg::OnCopy));
    connect(m_actionCopyFull, &QAction::triggered, this, Guarded(this, &CDesignDlg::OnCopyFull));
    connect(m_actionCopyCArray, &QAction::triggered, this,
            Guarded(this, &CDesignDlg::OnCopyCArray));
    connect(m_actionCopyQ15CArray, &QAction::triggered, this,
            Guarded(this, &CDesignDlg::OnCopyQ15CArray));
    connect(m_actionCopyQ31CArray, &QAction::triggered, this,
            Guarded(this, &CDesignDlg::OnCopyQ31CArray));
    connect(m_systemMenu, &SystemMenu::sysCommand, this, Guarded(this, &CDesignDlg::OnSysCommand));
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { CDesignApp::OnHelp(this, IDD); });
}

void CDesignDlg::OnInitDialog() {
    {
        // The start values are data, not user edits: they notify nothing.
        const QSignalBlocker quietOrder(m_editOrder);
        const QSignalBlocker quietRate(m_editSampleRate);
        m_editOrder->setText(FromStd(crt::FormatD(m_nOrder)));
        m_editSampleRate->setText(FromStd(crt::FormatD(m_nSampleRate)));
    }
    m_wndSpectrum = new CSpectrumWnd(this);
    m_wndSpectrum->setGeometry(m_frameSpectrum->geometry().adjusted(5, 5, -5, -5));

    InitSlider(m_sliderLow, 100);
    SetCutoffText(m_labelLow, "400");
    InitSlider(m_sliderHigh, 600);
    SetCutoffText(m_labelHigh, "2400");

    m_systemMenu = new SystemMenu(this, true);
    m_systemMenu->AppendSeparator();
    m_systemMenu->AppendMenu(IDM_ABOUTBOX, "&About Taplore...");
    setWindowIcon(m_hIcon);
    move(QGuiApplication::primaryScreen()->availableGeometry().center() - rect().center());
    m_listCoef->setFocus();
}

int CDesignDlg::DesignFilter(int order, double f1, double f2) {
    if (TapsForOrder(order) < m_progressDesignTaps)
        return ::DesignFilter(m_pCoef, m_nCoef, order, f1, f2);
    int designed = kDesignStopped;
    CProgressDlg progress("Calculating FIR coefficients…", this);
    progress.Run([&](const Progress& watch) {
        designed = ::DesignFilter(m_pCoef, m_nCoef, order, f1, f2, 0, watch);
    });
    return designed;
}

void CDesignDlg::SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps) {
    m_progressDesignTaps = designTaps;
    m_progressSaveTaps = saveTaps;
}

void CDesignDlg::OnSysCommand(unsigned id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    } else {
        SystemMenu::DefaultSysCommand(this, id);
    }
}

// Both labels are refreshed together, whichever slider moved, high first.
void CDesignDlg::OnHScroll() {
    const double fs = crt::Atof(m_editSampleRate->text().toStdString());
    SetCutoffText(m_labelHigh, CutoffLabel(m_sliderHigh, fs));
    SetCutoffText(m_labelLow, CutoffLabel(m_sliderLow, fs));
}

void CDesignDlg::OnChangeSampleRate() {
    OnHScroll();
}

void CDesignDlg::OnCalculate() {
    WaitCursor wait;
    const int order = crt::Atoi(m_editOrder->text().toStdString());
    const double fs = crt::Atof(m_editSampleRate->text().toStdString());
    const double low = crt::Atof(m_labelLow->text().toStdString());
    const double high = crt::Atof(m_labelHigh->text().toStdString());
    const int designed = DesignFilter(order, NormalisedCutoff(low, fs), NormalisedCutoff(high, fs));
    m_request = {order, fs, low, high};
    EnableCopyActions();
    if (designed == kDesignStopped)
        return; // cancelled: the list and the plot keep the last design, and nothing is said
    if (designed < 0) {
        wait.Restore();
        ShowError("Calculating FIR coefficients failed!");
        return;
    }
    m_listCoef->setValues(m_pCoef, m_nCoef);
    if (m_wndSpectrum->ComputeSpectrum(m_pCoef.get(), m_nCoef, fs) < 0) {
        wait.Restore();
        ShowError("Calculating magnitude failed!");
        return;
    }
    m_wndSpectrum->Describe(SelectBand(NormalisedCutoff(low, fs), NormalisedCutoff(high, fs)));
    // The plot and the dialog around it repaint before Calculate returns.
    m_wndSpectrum->update();
    repaint();
}

void CDesignDlg::OnSave() {
    // Qt's own dialog behaves the same on every desktop and can be driven by tests.
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix("txt");
    dialog.selectFile("FIR_Coef");
    const int result = dialog.exec();
    // When the overwrite question and the file dialog close together, a window manager may
    // leave no window focused: take the focus back.
    activateWindow();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveCoefficients(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

// A long save runs behind a progress box; its Cancel keeps the old file and says nothing.
void CDesignDlg::SaveCoefficients(const std::string& path) {
    if (m_nCoef < m_progressSaveTaps) {
        WriteCoefficientFile(path, m_pCoef.get(), m_nCoef);
        return;
    }
    CProgressDlg progress("Saving coefficients…", this);
    try {
        progress.Run([&](const Progress& watch) {
            WriteCoefficientFile(path, m_pCoef.get(), m_nCoef, watch);
        });
    } catch (const CFileException& e) {
        if (e.m_cause != CFileException::none)
            throw;
    }
}

void CDesignDlg::OnCopy() {
    CopyToClipboard(FormatCoefficientText(m_pCoef.get(), m_nCoef));
}

void CDesignDlg::OnCopyFull() {
    CopyToClipboard(FormatCoefficientsFull(m_pCoef.get(), m_nCoef));
}

void CDesignDlg::OnCopyCArray() {
    CopyToClipboard(FormatCoefficientsC(m_pCoef.get(), m_nCoef, m_request));
}

void CDesignDlg::OnCopyQ15CArray() {
    CopyFixedPointCArray(QFormat::q15);
}

void CDesignDlg::OnCopyQ31CArray() {
    CopyFixedPointCArray(QFormat::q31);
}

// The same text as taplore-design --format c-q15 or c-q31 writes for this design.
void CDesignDlg::CopyFixedPointCArray(QFormat format) {
    // The cost figure of a million taps is a transform of a million points.
    WaitCursor wait;
    std::string text;
    try {
        text =
            FormatFixedPointC(m_pCoef.get(), Quantise(m_pCoef.get(), m_nCoef, format), m_request);
    } catch (const NoFixedPointForm& e) {
        wait.Restore();
        ShowError(e.what());
        return;
    }
    CopyToClipboard(text);
}

void CDesignDlg::CopyToClipboard(const std::string& text) {
    // The texts are ASCII: the cheapest conversion, for a million taps.
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void CDesignDlg::ShowError(const QString& text) {
    ShowMessage(this, QMessageBox::Critical, "Error", text);
}
