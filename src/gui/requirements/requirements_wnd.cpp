#include "gui/requirements/requirements_wnd.h"

#include "core/dialog/about.h"
#include "core/dialog/dialog_messages.h"
#include "core/formats/crt.h"
#include "gui/context_menu_key.h"
#include "gui/design_app.h"
#include "gui/guard.h"
#include "gui/help_wnd.h"
#include "gui/requirements/band_kind_delegate.h"
#include "gui/requirements/band_model.h"
#include "gui/requirements/commit_delegate.h"
#include "gui/requirements/document_file.h"
#include "gui/requirements/faded.h"
#include "gui/requirements/fixed_point_panel.h"
#include "gui/requirements/message_label.h"
#include "gui/requirements/nyquist_row.h"
#include "gui/requirements/phase_row.h"
#include "gui/requirements/plot_wnd.h"
#include "gui/requirements/pulse_row.h"
#include "gui/requirements/rate_change_row.h"
#include "gui/requirements/taps_output.h"
#include "gui/requirements/zeros_plot_wnd.h"
#include "gui/taps_menu.h"
#include "gui/value_list.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace {

constexpr double kStartRate = taplore::WindowInputs::kStartRate;
const QColor kMet(0, 128, 0);
const QColor kMissed(200, 0, 0);

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

CRequirementsWnd::CRequirementsWnd(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowIcon(CDesignApp::ProgramIcon());
    setupModel();
    setupViews();
    NameControls();
    RestoreSettings();
    connectViews();
    OnMethodChanged();
    OnRequirementsChanged();
    ShowSecondView(); // the plot of the view chosen, drawn once designed
    OnBitsChanged();  // a saved width that is none is said at once
    // The last requirements are where a new document starts, not changes to it.
    m_presenter.MarkUnmodified();
    ShowState();
    setAcceptDrops(true);
}

CRequirementsWnd::~CRequirementsWnd() = default;

void CRequirementsWnd::setupModel() {
    m_modelBands = new BandModel(this);
    m_modelBands->SetPreset(BandPreset::lowPass, kStartRate);
    m_live = new CLiveDesign(this);
}

void CRequirementsWnd::connectViews() {
    connect(m_modelBands, &QAbstractItemModel::dataChanged, this,
            &CRequirementsWnd::OnRequirementsChanged);
    connect(m_modelBands, &QAbstractItemModel::rowsInserted, this,
            &CRequirementsWnd::OnRequirementsChanged);
    connect(m_modelBands, &QAbstractItemModel::rowsRemoved, this,
            &CRequirementsWnd::OnRequirementsChanged);
    connect(m_modelBands, &QAbstractItemModel::modelReset, this,
            &CRequirementsWnd::OnRequirementsChanged);
    connect(m_editRate, &QLineEdit::textChanged, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_comboMethod, &QComboBox::currentIndexChanged, this,
            &CRequirementsWnd::OnMethodChanged);
    connect(m_radioFewest, &QRadioButton::toggled, this, &CRequirementsWnd::OnMethodChanged);
    connect(m_spinTaps, &QSpinBox::valueChanged, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_phase, &CPhaseRow::changed, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_nyquist, &CNyquistRow::changed, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_pulse, &CPulseRow::changed, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_rateChange, &CRateChangeRow::changed, this, &CRequirementsWnd::OnRequirementsChanged);
    connect(m_buttonAdd, &QPushButton::clicked, this, &CRequirementsWnd::OnAddBand);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CRequirementsWnd::OnRemoveBand);
    connect(m_live, &CLiveDesign::designed, this, &CRequirementsWnd::OnDesigned);
    connect(m_comboView, &QComboBox::currentIndexChanged, this, &CRequirementsWnd::OnViewChanged);
    connect(m_checkZoom, &QCheckBox::toggled, this, &CRequirementsWnd::OnZoomToggled);
    connect(m_modelBands, &BandModel::editRefused, m_labelProblem, &QLabel::setText);
    connect(m_editBits, &QLineEdit::textChanged, this, &CRequirementsWnd::OnBitsChanged);
    connect(m_panelFixed, &CFixedPointPanel::changed, this,
            &CRequirementsWnd::OnRequirementsChanged);
    connect(m_panelFixed, &CFixedPointPanel::fewestBitsFound, m_editBits, &QLineEdit::setText);
    connect(this, &CRequirementsWnd::designShown, m_panelFixed, &CFixedPointPanel::OnDesignShown);
    connect(m_buttonSave, &QPushButton::clicked, this, Guarded(this, &CRequirementsWnd::OnSave));
    connect(m_buttonExport, &QPushButton::clicked, this,
            Guarded(this, &CRequirementsWnd::OnExport));
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { CDesignApp::OnHelp(this, taplore::kRequirementsWindowId); });
    AddContextMenuKey(this);
}

// Unsaved changes are saved or discarded first, or the window stays; a normal close takes
// the recovery copy away.
void CRequirementsWnd::closeEvent(QCloseEvent* event) {
    if (!m_file->MayDrop()) {
        event->ignore();
        return;
    }
    SaveSettings();
    m_live->Cancel();
    m_file->Closed();
    QWidget::closeEvent(event);
}

// Once shown, a crashed session's copy is offered, then the document the program was given
// opens.
void CRequirementsWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (std::exchange(m_shownOnce, true))
        return;
    QTimer::singleShot(0, this, [this] {
        RunGuarded(this, [this] {
            m_file->OfferRecovery();
            if (!m_startFile.isEmpty())
                m_file->Open(std::exchange(m_startFile, {}));
        });
    });
}

// A file dropped on the window opens as a document.
void CRequirementsWnd::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void CRequirementsWnd::dropEvent(QDropEvent* event) {
    const QString path = event->mimeData()->urls().constFirst().toLocalFile();
    event->acceptProposedAction();
    RunGuarded(this, [&] { m_file->Open(path); });
}

// ---- the requirements ----------------------------------------------------------------------

double CRequirementsWnd::Rate() const {
    return crt::StrictAtof(m_editRate->text().trimmed().toStdString()).value_or(0.0);
}

// The inputs as the controls hold them.
taplore::WindowInputs CRequirementsWnd::ReadInputs() const {
    taplore::WindowInputs inputs;
    inputs.rate = m_editRate->text().toStdString();
    inputs.bands.assign(m_modelBands->Bands().begin(), m_modelBands->Bands().end());
    inputs.method = m_comboMethod->currentData().toString().toStdString();
    inputs.fixed = m_radioFixed->isChecked();
    inputs.taps = m_spinTaps->value();
    inputs.minimumPhase = m_phase->Minimum();
    inputs.pulse = m_pulse->Pulse();
    // Hidden under a pulse's figures, the Nyquist box asks nothing.
    inputs.nyquist = inputs.pulse.On() ? 0 : m_nyquist->Band();
    inputs.rateChange = m_rateChange->Choice();
    inputs.cic = m_rateChange->Cic();
    return inputs;
}

// A document's inputs in the controls, the method first for the length it allows.
void CRequirementsWnd::ShowInputs(const taplore::WindowInputs& inputs) {
    m_editRate->setText(FromStd(inputs.rate));
    m_modelBands->SetBands(QVector<BandRow>(inputs.bands.begin(), inputs.bands.end()));
    ChooseMethod(FromStd(inputs.method));
    (inputs.fixed ? m_radioFixed : m_radioFewest)->setChecked(true);
    m_spinTaps->setValue(inputs.taps);
    m_phase->SetMinimum(inputs.minimumPhase);
    m_nyquist->SetBand(inputs.nyquist);
    ShowPulse(inputs.pulse);
    m_rateChange->SetChoice(inputs.rateChange);
    m_rateChange->SetCic(inputs.cic);
}

// Looked up by name with a fallback: the separator's data is none, which an absent name would
// match, leaving the list blank.
void CRequirementsWnd::ChooseMethod(const QString& name) {
    int index = name.isEmpty() ? -1 : m_comboMethod->findData(name);
    if (index < 0)
        index = m_comboMethod->findData(FromStd(std::string(taplore::DefaultMethod().name)));
    m_comboMethod->setCurrentIndex(index);
}

// A pulse's figures, and its shape chosen as the Method where it has one.
void CRequirementsWnd::ShowPulse(const taplore::WindowPulse& pulse) {
    m_pulse->SetPulse(pulse);
    if (pulse.On())
        m_comboMethod->setCurrentIndex(
            std::max(0, m_comboMethod->findData(FromStd(pulse.shape), kPulseRole)));
}

// What was said of the requirements before goes as soon as they read right; what is wrong is
// said in place, and the last good design stays drawn, faded as out of date.
void CRequirementsWnd::OnRequirementsChanged() {
    m_presenter.AskZeros(taplore::RequirementsPresenter::IsZerosView(m_comboView->currentIndex()));
    m_panelFixed->SetLinearPhase(!m_phase->Minimum());
    const std::optional<DesignAsk> ask = m_presenter.SetInputs(ReadInputs());
    m_labelProblem->setText(FromStd(m_presenter.Problem()));
    if (ask)
        m_live->Ask(*ask);
    else
        m_live->Cancel();
    ShowState();
}

const taplore::Method& CRequirementsWnd::ChosenMethod() const {
    const taplore::Method* method =
        taplore::FindMethod(m_comboMethod->currentData().toString().toStdString());
    return method ? *method : taplore::DefaultMethod();
}

void CRequirementsWnd::OnMethodChanged() {
    const std::string pulse = m_comboMethod->currentData(kPulseRole).toString().toStdString();
    m_pulse->SetShape(pulse);
    m_stackLength->setCurrentIndex(pulse.empty() ? 0 : 1);
    // A method without a search designs the length it is given.
    const bool searches = ChosenMethod().Searches();
    m_spinTaps->setMaximum(ChosenMethod().longest);
    m_radioFewest->setEnabled(searches);
    if (!searches)
        m_radioFixed->setChecked(true);
    m_spinTaps->setEnabled(m_radioFixed->isChecked());
    OnRequirementsChanged();
}

void CRequirementsWnd::OnAddBand() {
    m_modelBands->AddBand(m_tableBands->currentIndex().row(), Rate());
}

void CRequirementsWnd::OnRemoveBand() {
    m_modelBands->RemoveBand(m_tableBands->currentIndex().row());
}

void CRequirementsWnd::OnPreset(BandPreset preset) {
    m_modelBands->SetPreset(preset, Rate() > 0 ? Rate() : kStartRate);
}

// The title says whether the design shown answers the requirements shown: a taskbar shows it
// too. A design that does not is faded, and neither saved nor exported: the buttons' tooltip
// says why.
void CRequirementsWnd::ShowState() {
    setWindowTitle("Taplore Requirements Designer — " + FromStd(m_presenter.DocumentName()) +
                   "[*] — " + FromStd(m_presenter.StateText()));
    setWindowModified(m_presenter.Modified());
    m_file->Changed();
    const bool current = m_presenter.Current();
    ShowCurrent(current);
    for (QPushButton* button : {m_buttonSave, m_buttonExport})
        button->setToolTip(current ? QString()
                                   : "No design for the requirements shown: " +
                                         FromStd(m_presenter.WaitReason()));
}

void CRequirementsWnd::ShowCurrent(bool current) {
    m_plotMagnitude->SetStale(!current);
    m_plotView->SetStale(!current);
    m_plotZeros->SetStale(!current);
    FadeFigures(m_tableFigures, !current);
    FadeText(m_listTaps, !current);
    m_buttonSave->setEnabled(current);
    m_buttonExport->setEnabled(current);
    m_file->ExportAction()->setEnabled(current);
}

// The width is said wrong as it is typed, not only once an export's file has been chosen.
void CRequirementsWnd::OnBitsChanged() {
    m_labelBitsProblem->setText(
        FromStd(taplore::RequirementsPresenter::BitsProblem(m_editBits->text().toStdString())));
    m_panelFixed->SetTapBits(m_editBits->text());
}

// ---- the result ----------------------------------------------------------------------------

void CRequirementsWnd::OnDesigned(std::shared_ptr<const DesignShown> shown) {
    using Accepted = taplore::RequirementsPresenter::Accepted;
    const Accepted accepted = m_presenter.Accept(std::move(shown));
    if (accepted == Accepted::failed) {
        m_labelProblem->setText(FromStd(m_presenter.Problem()));
        ShowState();
    }
    if (accepted != Accepted::shown)
        return;
    ShowResult();
    ++m_designsShown;
    emit designShown();
}

void CRequirementsWnd::ShowResult() {
    const taplore::ResultTexts texts = m_presenter.Result();
    m_labelNote->setText(FromStd(texts.note));
    m_labelHeadline->setText(FromStd(texts.headline));
    ShowBandFigures(texts);
    FitFigures(m_presenter.Shown()->multirate != nullptr);
    m_labelShorter->setText(FromStd(texts.shorter));
    m_labelPhase->setText(FromStd(texts.phase + texts.zeroTaps));
    const int count = m_presenter.TapCount();
    m_listTaps->setValues(m_presenter.Taps(), count);
    m_menuTaps->SetTaps(m_presenter.Taps(), count, m_presenter.Description());
    ShowMagnitude();
    ShowSecondView();
    ShowState();
}

// A row a band: what it asked, what it reached, and the margin, green when met and red when
// missed.
void CRequirementsWnd::ShowBandFigures(const taplore::ResultTexts& texts) {
    m_tableFigures->setRowCount(static_cast<int>(texts.figures.size()));
    for (int row = 0; row < static_cast<int>(texts.figures.size()); ++row) {
        const taplore::FigureRow& figure = texts.figures[row];
        const QString cells[] = {FromStd(figure.band), FromStd(figure.asked),
                                 FromStd(figure.reached), FromStd(figure.margin)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column >= 2)
                item->setForeground(figure.met ? kMet : kMissed);
            m_tableFigures->setItem(row, column, item);
        }
    }
}

void CRequirementsWnd::ShowMagnitude() {
    if (m_presenter.Shown())
        m_plotMagnitude->Show(m_presenter.Magnitude(m_checkZoom->isChecked()));
}

void CRequirementsWnd::ShowSecondView() {
    const bool zeros = taplore::RequirementsPresenter::IsZerosView(m_comboView->currentIndex());
    m_plotView->setVisible(!zeros);
    m_plotZeros->setVisible(zeros);
    if (m_presenter.Shown() && zeros)
        m_plotZeros->Show(m_presenter.Zeros());
    else if (m_presenter.Shown())
        m_plotView->Show(m_presenter.SecondView(m_comboView->currentIndex()));
}

// A design shown without its zeros is designed again to find them.
void CRequirementsWnd::OnViewChanged() {
    if (taplore::RequirementsPresenter::IsZerosView(m_comboView->currentIndex()) &&
        !m_presenter.HasZeros())
        OnRequirementsChanged();
    ShowSecondView();
}

void CRequirementsWnd::OnZoomToggled() {
    ShowMagnitude();
}

// ---- output --------------------------------------------------------------------------------

void CRequirementsWnd::OnSave() {
    SaveTaps(this, m_presenter, m_editBits->text());
}

void CRequirementsWnd::OnExport() {
    ExportTaps(this, m_presenter, m_editBits->text());
}
