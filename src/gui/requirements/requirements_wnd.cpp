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
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double kStartRate = taplore::WindowInputs::kStartRate;
constexpr QSize kPreferredSize(1200, 780);
constexpr int kFrameAllowance = 40; // a title bar, or both side borders
// The Method combo's pulses: their shape's name in this role, the default method's in the
// method's, for the bands kept meanwhile.
constexpr int kPulseRole = Qt::UserRole + 1;
const QColor kMet(0, 128, 0);
const QColor kMissed(200, 0, 0);

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QPushButton* NewButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
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

void CRequirementsWnd::setupViews() {
    auto* left = new QVBoxLayout;
    left->setSizeConstraint(QLayout::SetMinimumSize);
    left->addWidget(RequirementsPanel());
    left->addWidget(ResultPanel(), 1);
    auto* layout = new QHBoxLayout(this);
    m_file = new CDocumentFile(
        this, m_presenter, [this](const taplore::WindowInputs& in) { ShowInputs(in); },
        [this] { ShowState(); }, [this] { RunGuarded(this, [this] { OnExport(); }); });
    layout->setMenuBar(m_file->MenuBar());
    layout->addLayout(left);
    layout->addWidget(PlotPanel(), 1);
    // Within the screen, less a frame's worth and room for the help beside it, down to the
    // smallest the layout allows: the full size went past the bottom of a laptop's screen, and
    // F1 opened the help over the window.
    const QSize room = screen()->availableGeometry().size() -
                       QSize(CHelpWnd::kMinimumWidth + kFrameAllowance, kFrameAllowance);
    resize(kPreferredSize.boundedTo(room).expandedTo(minimumSizeHint()));
    // At the left, the help's room on the right: a window manager centres it otherwise, with
    // too little room on either side.
    const QRect screenRect = screen()->availableGeometry();
    move(screenRect.left(), screenRect.top() + std::max(0, (screenRect.height() - height()) / 2));
}

QWidget* CRequirementsWnd::RequirementsPanel() {
    auto* group = new QGroupBox("Requirements", this);
    m_editRate = new QLineEdit(FromStd(crt::FormatShortest(kStartRate)), group);
    m_tableBands = new QTableView(group);
    m_tableBands->setModel(m_modelBands);
    m_tableBands->setItemDelegate(new CommitDelegate(m_tableBands));
    m_tableBands->setItemDelegateForColumn(BandModel::kind, new BandKindDelegate(m_tableBands));
    m_tableBands->setTabKeyNavigation(false);
    // Arrows move between cells; F2, a double click or typing edits one.
    m_tableBands->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed |
                                  QAbstractItemView::DoubleClicked);
    m_tableBands->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tableBands->horizontalHeader()->setSectionResizeMode(BandModel::tolerance,
                                                           QHeaderView::ResizeToContents);
    m_tableBands->setMinimumSize(480, 150);
    m_tableBands->setAccessibleName("Bands");
    m_buttonAdd = NewButton("&Add band", group);
    m_buttonRemove = NewButton("Re&move band", group);
    m_comboMethod = new QComboBox(group);
    for (const taplore::Method& method : taplore::Methods())
        m_comboMethod->addItem(FromStd(std::string(method.title)),
                               FromStd(std::string(method.name)));
    m_comboMethod->insertSeparator(m_comboMethod->count());
    for (const taplore::PulseShapeInfo& shape : taplore::PulseShapes()) {
        m_comboMethod->addItem(CPulseRow::ChoiceText(shape),
                               FromStd(std::string(taplore::DefaultMethod().name)));
        m_comboMethod->setItemData(m_comboMethod->count() - 1, FromStd(std::string(shape.name)),
                                   kPulseRole);
    }
    m_radioFewest = new QRadioButton("Fe&west that meet them", group);
    m_radioFixed = new QRadioButton("Fi&xed:", group);
    m_radioFewest->setChecked(true);
    m_spinTaps = new QSpinBox(group);
    // The longest of any method until the chosen one narrows it.
    int longest = 1;
    for (const taplore::Method& method : taplore::Methods())
        longest = std::max(longest, method.longest);
    m_spinTaps->setRange(1, longest);
    m_spinTaps->setValue(51);
    m_spinTaps->setSuffix(" taps");
    m_spinTaps->setAccessibleName("Fixed number of taps");
    m_phase = new CPhaseRow(group);
    m_nyquist = new CNyquistRow(group);
    m_pulse = new CPulseRow(group);
    m_rateChange = new CRateChangeRow(group);
    m_labelProblem = new MessageLabel(group, "Problem", MessageLabel::Kind::problem);

    auto* presets = new QHBoxLayout;
    const std::pair<const char*, BandPreset> presetButtons[] = {
        {"&Low-pass", BandPreset::lowPass},
        {"&High-pass", BandPreset::highPass},
        {"Band-&pass", BandPreset::bandPass},
        {"Ban&d-stop", BandPreset::bandStop}};
    for (const auto& [text, preset] : presetButtons) {
        QPushButton* button = NewButton(text, group);
        presets->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, preset] { OnPreset(preset); });
    }
    auto* edit = new QHBoxLayout;
    edit->addWidget(m_buttonAdd);
    edit->addWidget(m_buttonRemove);
    edit->addStretch();
    auto* length = new QHBoxLayout;
    length->addWidget(m_radioFewest);
    length->addWidget(m_radioFixed);
    length->addWidget(m_spinTaps);
    length->addStretch();
    // At the length's end: an L-th band designs its own fewest taps.
    length->addWidget(m_nyquist);
    // A pulse's span and samples are its length: its figures take the length's place, which
    // costs the window neither height nor width.
    auto* lengthPage = new QWidget(group);
    lengthPage->setLayout(length);
    length->setContentsMargins(0, 0, 0, 0);
    m_stackLength = new QStackedWidget(group);
    m_stackLength->addWidget(lengthPage);
    m_stackLength->addWidget(m_pulse);
    // Beside the method: a row of its own is too tall for a laptop, beside the length too wide.
    auto* method = new QHBoxLayout;
    method->addWidget(m_comboMethod, 1);
    method->addWidget(m_phase);

    auto* form = new QFormLayout(group);
    // The rate change shares the rate's row: a row of its own took the window past a laptop's
    // screen.
    m_editRate->setMinimumWidth(80);
    auto* rate = new QHBoxLayout;
    rate->addWidget(m_editRate, 1);
    rate->addWidget(m_rateChange);
    auto* rateLabel = new QLabel("&Rate (Hz):", group);
    rateLabel->setBuddy(m_editRate);
    form->addRow(rateLabel, rate);
    auto* bandsLabel = new QLabel("&Bands:", group);
    bandsLabel->setBuddy(m_tableBands);
    form->addRow(bandsLabel);
    form->addRow(m_tableBands);
    form->addRow(edit);
    form->addRow(presets);
    auto* methodLabel = new QLabel("Me&thod:", group);
    methodLabel->setBuddy(m_comboMethod);
    form->addRow(methodLabel, method);
    form->addRow("Length:", m_stackLength);
    form->addRow(m_labelProblem);
    return group;
}

QWidget* CRequirementsWnd::ResultPanel() {
    auto* group = new QGroupBox("Result", this);
    m_labelHeadline = new MessageLabel(group, "Headline");
    m_tableFigures = new QTableWidget(0, 4, group);
    m_tableFigures->setHorizontalHeaderLabels({"Band", "Asked", "Reached", "Margin"});
    m_tableFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tableFigures->horizontalHeader()->setStretchLastSection(true);
    m_tableFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableFigures->setTabKeyNavigation(false);
    m_tableFigures->setAccessibleName("What each band reached");
    m_tableFigures->setMaximumHeight(140);
    m_labelShorter = new QLabel(group);
    // A minimum-phase design's lines, or an L-th band's zero taps: never both.
    m_labelPhase = new MessageLabel(group, "Minimum phase or zero taps");
    // Information of the design, such as the rounding of a 150 dB design: not a problem.
    m_labelNote = new MessageLabel(group, "Note");
    m_listTaps = new ValueList(group);
    m_listTaps->setAccessibleName("Coefficients");
    m_menuTaps = new TapsMenu(m_listTaps);
    m_editBits = new QLineEdit("16", group);
    m_editBits->setMaximumWidth(80);
    m_editBits->setToolTip("The width of integer exports: B or B.F bits (16 is Q15)");
    m_labelBitsProblem = new MessageLabel(group, "Bits problem", MessageLabel::Kind::problem, 1);
    m_buttonSave = NewButton("&Save...", group);
    m_buttonExport = NewButton("&Export...", group);

    auto* tapsLabel = new QLabel("&Coefficients:", group);
    tapsLabel->setBuddy(m_listTaps);
    auto* bitsLabel = new QLabel("B&its:", group);
    bitsLabel->setBuddy(m_editBits);
    auto* output = new QHBoxLayout;
    output->addWidget(bitsLabel);
    output->addWidget(m_editBits);
    output->addWidget(m_labelBitsProblem);
    output->addStretch();
    output->addWidget(m_buttonSave);
    output->addWidget(m_buttonExport);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_labelHeadline);
    layout->addWidget(m_tableFigures);
    layout->addWidget(m_labelShorter);
    layout->addWidget(m_labelPhase);
    layout->addWidget(m_labelNote);
    layout->addWidget(tapsLabel);
    layout->addWidget(m_listTaps, 1);
    layout->addLayout(output);
    return group;
}

QWidget* CRequirementsWnd::PlotPanel() {
    auto* panel = new QWidget(this);
    m_plotMagnitude = new CPlotWnd(panel);
    m_plotMagnitude->setAccessibleName("Magnitude");
    m_checkZoom = new QCheckBox("&Zoom to pass band", panel);
    m_comboView = new QComboBox(panel);
    for (const std::string& title : taplore::RequirementsPresenter::SecondViewTitles())
        m_comboView->addItem(FromStd(title));
    m_plotView = new CPlotWnd(panel);
    m_plotZeros = new CZerosPlot(panel); // in the second view's place while it is chosen
    m_panelFixed = new CFixedPointPanel(m_presenter, panel);
    auto* viewLabel = new QLabel("Second &view:", panel);
    viewLabel->setBuddy(m_comboView);
    auto* controls = new QHBoxLayout;
    controls->addWidget(m_checkZoom);
    controls->addStretch();
    controls->addWidget(viewLabel);
    controls->addWidget(m_comboView);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plotMagnitude, 3);
    layout->addLayout(controls);
    layout->addWidget(m_plotView, 2);
    layout->addWidget(m_plotZeros, 2);
    layout->addWidget(m_panelFixed);
    return panel;
}

// Names for tests and for assistive technology to find the controls by.
void CRequirementsWnd::NameControls() {
    const std::pair<QWidget*, const char*> names[] = {{m_editRate, "editRate"},
                                                      {m_tableBands, "tableBands"},
                                                      {m_comboMethod, "comboMethod"},
                                                      {m_radioFewest, "radioFewest"},
                                                      {m_radioFixed, "radioFixed"},
                                                      {m_spinTaps, "spinTaps"},
                                                      {m_rateChange, "rateChange"},
                                                      {m_labelProblem, "labelProblem"},
                                                      {m_labelHeadline, "labelHeadline"},
                                                      {m_tableFigures, "tableFigures"},
                                                      {m_labelShorter, "labelShorter"},
                                                      {m_labelPhase, "labelPhase"},
                                                      {m_labelNote, "labelNote"},
                                                      {m_labelBitsProblem, "labelBitsProblem"},
                                                      {m_listTaps, "listTaps"},
                                                      {m_editBits, "editBits"},
                                                      {m_buttonSave, "save"},
                                                      {m_buttonExport, "export"},
                                                      {m_checkZoom, "checkZoom"},
                                                      {m_comboView, "comboView"},
                                                      {m_plotMagnitude, "plotMagnitude"},
                                                      {m_plotView, "plotView"},
                                                      {m_plotZeros, "plotZeros"},
                                                      {m_panelFixed, "fixedPoint"},
                                                      {m_nyquist, "nyquist"},
                                                      {m_pulse, "pulse"}};
    for (const auto& [control, name] : names)
        control->setObjectName(name);
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
    return inputs;
}

// A document's inputs in the controls, the method first for the length it allows.
void CRequirementsWnd::ShowInputs(const taplore::WindowInputs& inputs) {
    m_editRate->setText(FromStd(inputs.rate));
    m_modelBands->SetBands(QVector<BandRow>(inputs.bands.begin(), inputs.bands.end()));
    m_comboMethod->setCurrentIndex(std::max(0, m_comboMethod->findData(FromStd(inputs.method))));
    (inputs.fixed ? m_radioFixed : m_radioFewest)->setChecked(true);
    m_spinTaps->setValue(inputs.taps);
    m_phase->SetMinimum(inputs.minimumPhase);
    m_nyquist->SetBand(inputs.nyquist);
    ShowPulse(inputs.pulse);
    m_rateChange->SetChoice(inputs.rateChange);
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
