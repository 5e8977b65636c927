#include "gui/design_dlg.h"

#include "core/dialog/about.h"
#include "core/dialog/dialog_messages.h"
#include "core/formats/crt.h"
#include "core/formats/taps_description.h"
#include "gui/about_dlg.h"
#include "gui/design_app.h"
#include "gui/dialog_units.h"
#include "gui/digits_edit.h"
#include "gui/focus_button.h"
#include "gui/guard.h"
#include "gui/progress_dlg.h"
#include "gui/requirements/requirements_wnd.h"
#include "gui/spectrum_wnd.h"
#include "gui/system_menu.h"
#include "gui/taps_menu.h"
#include "gui/value_list.h"

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

// The box's title takes more height in the stand-in fonts: a control placed in the box is
// moved down, centred between the title and the bottom border.
void CentreInside(const QGroupBox* group, QWidget* control) {
    const QRect inside = group->contentsRect().translated(group->pos());
    control->move(control->x(), inside.top() + (inside.height() - control->height()) / 2);
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
    slider->setRange(0, taplore::kSliderMax);
    slider->setPageStep(taplore::kSliderPageStep);
    slider->setValue(position);
}

// A slider's cutoff in Hz. The position is read mid-action too, before the slider has passed
// it on as its value.
QString CutoffLabel(const QSlider* slider, double fs) {
    return FromStd(taplore::CutoffLabel(slider->sliderPosition(), slider->maximum(), fs));
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
      m_hIcon(CDesignApp::ProgramIcon()) {
    setWindowTitle("FIR Filter Design");
    setFont(QFont("DejaVu Serif", 10));
    CreateControls();
    m_menuTaps = new TapsMenu(m_listCoef);
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
    m_buttonCalculate = new FocusButton("Calculate", this);
    m_buttonCalculate->setDefault(true);
    units.Place(m_buttonCalculate, 174, 138, 50, 14);
    m_buttonSave = new FocusButton("Save", this);
    units.Place(m_buttonSave, 228, 138, 50, 14);
    QGroupBox* groupCutoff = NewGroupBox(this, "Cutoff Frequency");
    units.Place(groupCutoff, 10, 128, 65, 25);
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
    // The cutoff labels show "%8.1f" of up to half the rate, and the rate edit takes six
    // digits: room for six-digit frequencies, as "288000.0" of a rate of 960000.
    for (QLabel* cutoff : {m_labelLow, m_labelHigh}) {
        WidenToFitText(cutoff, FromStd(crt::FormatF8_1(999999.9)));
        CentreInside(groupCutoff, cutoff);
    }
    // Orders of a million taps and rates of 192 kHz show whole.
    m_editOrder->WidenToShowDigits(7);
    m_editSampleRate->WidenToShowDigits(6);
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
    connect(m_systemMenu, &SystemMenu::sysCommand, this, Guarded(this, &CDesignDlg::OnSysCommand));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this), &QShortcut::activated, this,
            [this] { RunGuarded(this, [this] { OnSysCommand(taplore::kRequirementsCommand); }); });
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

    InitSlider(m_sliderLow, taplore::kStartLowPosition);
    SetCutoffText(m_labelLow, taplore::kStartLowLabel);
    InitSlider(m_sliderHigh, taplore::kStartHighPosition);
    SetCutoffText(m_labelHigh, taplore::kStartHighLabel);

    m_systemMenu = new SystemMenu(this, true);
    m_systemMenu->AppendSeparator();
    m_systemMenu->AppendMenu(taplore::kAboutCommand, "&About Taplore...");
    m_systemMenu->AppendMenu(taplore::kRequirementsCommand, "&Design to Requirements...\tCtrl+D");
    setWindowIcon(m_hIcon);
    move(QGuiApplication::primaryScreen()->availableGeometry().center() - rect().center());
    m_listCoef->setFocus();
}

taplore::LongWork CDesignDlg::BehindProgressBox() {
    return [this](const char* text, const std::function<void(const Progress&)>& work) {
        CProgressDlg progress(text, this);
        progress.Run(work);
    };
}

void CDesignDlg::SetProgressTapsForTesting(std::int64_t designTaps, int saveTaps) {
    m_design.SetProgressTapsForTesting(designTaps, saveTaps);
}

void CDesignDlg::OnSysCommand(unsigned id) {
    if (taplore::IsAboutCommand(id)) {
        CAboutDlg about(this);
        about.exec();
    } else if ((id & 0xFFF0) == taplore::kRequirementsCommand) {
        OpenRequirements();
    } else {
        SystemMenu::DefaultSysCommand(this, id);
    }
}

void CDesignDlg::done(int result) {
    if (m_wndRequirements && m_wndRequirements->isVisible() && !m_wndRequirements->close())
        return;
    QDialog::done(result);
}

// The requirements window beside the dialog, one at a time: a window of the dialog's own, so
// that the dialog's modal loop lets its input through.
void CDesignDlg::OpenRequirements() {
    if (!m_wndRequirements) {
        m_wndRequirements = new CRequirementsWnd(this);
        m_wndRequirements->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_wndRequirements->show();
    m_wndRequirements->raise();
    m_wndRequirements->activateWindow();
}

// Both labels are refreshed together, whichever slider moved, high first.
void CDesignDlg::OnHScroll() {
    const double fs = taplore::SampleRate(m_editSampleRate->text().toStdString());
    SetCutoffText(m_labelHigh, CutoffLabel(m_sliderHigh, fs));
    SetCutoffText(m_labelLow, CutoffLabel(m_sliderLow, fs));
}

void CDesignDlg::OnChangeSampleRate() {
    OnHScroll();
}

void CDesignDlg::OnCalculate() {
    using Designed = taplore::DesignDialog::Designed;
    WaitCursor wait;
    const DesignRequest request = taplore::ReadRequest(
        m_editOrder->text().toStdString(), m_editSampleRate->text().toStdString(),
        m_labelLow->text().toStdString(), m_labelHigh->text().toStdString());
    const Designed designed = m_design.Design(request, BehindProgressBox());
    m_menuTaps->SetTaps(m_design.Taps(), m_design.TapCount(),
                        taplore::DescribeRequest(m_design.Request()));
    if (designed == Designed::stopped)
        return; // cancelled: the list and the plot keep the last design, and nothing is said
    if (designed == Designed::failed) {
        wait.Restore();
        ShowError(taplore::DesignFailedMessage());
        return;
    }
    m_listCoef->setValues(m_design.Taps(), m_design.TapCount());
    if (m_wndSpectrum->ComputeSpectrum(m_design.Taps().get(), m_design.TapCount(), request.rate) <
        0) {
        wait.Restore();
        ShowError(taplore::MagnitudeFailedMessage());
        return;
    }
    m_wndSpectrum->Describe(SelectBand(NormalisedCutoff(request.lowHz, request.rate),
                                       NormalisedCutoff(request.highHz, request.rate)));
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
    dialog.setDefaultSuffix(taplore::kSaveExtension);
    dialog.selectFile(taplore::kSaveFileName);
    const int result = dialog.exec();
    // When the overwrite question and the file dialog close together, a window manager may
    // leave no window focused: take the focus back.
    activateWindow();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // A long save runs behind a progress box; its Cancel keeps the old file and says nothing.
    m_design.Save(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString(),
                  BehindProgressBox());
}

void CDesignDlg::ShowError(const taplore::DialogMessage& message) {
    ShowMessage(this, message);
}
