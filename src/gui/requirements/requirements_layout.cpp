// The requirements window's panels as the constructor builds them: the requirements, the
// result and the plots, and the names a screen reader reads of their controls.
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
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr QSize kPreferredSize(1200, 780);
// The result table's rows at most without scrolling: a plan of four stages, its total and the
// cascade's two.
constexpr int kMostFigureRows = 7;
// The coefficients' least height beside a plan's rows: two and a half of theirs.
constexpr int kPlanTapsHeight = 40;
constexpr int kFrameAllowance = 40; // a title bar, or both side borders

QPushButton* NewButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

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
    m_editRate = new QLineEdit(
        QString::fromStdString(crt::FormatShortest(taplore::WindowInputs::kStartRate)), group);
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
        m_comboMethod->addItem(QString::fromStdString(std::string(method.title)),
                               QString::fromStdString(std::string(method.name)));
    m_comboMethod->insertSeparator(m_comboMethod->count());
    for (const taplore::PulseShapeInfo& shape : taplore::PulseShapes()) {
        m_comboMethod->addItem(CPulseRow::ChoiceText(shape),
                               QString::fromStdString(std::string(taplore::DefaultMethod().name)));
        m_comboMethod->setItemData(m_comboMethod->count() - 1,
                                   QString::fromStdString(std::string(shape.name)), kPulseRole);
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
    // Rows a line of text high, without numbers: a plan's rows fit where two did.
    QHeaderView* rows = m_tableFigures->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(fontMetrics().height() + 3);
    rows->setDefaultSectionSize(fontMetrics().height() + 3);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    m_tableFigures->setMaximumHeight(FiguresHeight(kMostFigureRows));
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
        m_comboView->addItem(QString::fromStdString(title));
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

// The result table's height for rows of figures, its header, frame and the scroll bar that a
// plan's long texts need below them included.
int CRequirementsWnd::FiguresHeight(int rows) const {
    return m_tableFigures->horizontalHeader()->sizeHint().height() +
           rows * m_tableFigures->verticalHeader()->defaultSectionSize() +
           2 * m_tableFigures->frameWidth() +
           m_tableFigures->horizontalScrollBar()->sizeHint().height();
}

// A plan's rows show without scrolling, and the window grows no taller for them: a rate change
// has no shorter lengths or phase lines, and its coefficients (of the filter the cascade
// equals) give up a little room. A single filter's table keeps its least height and scrolls.
void CRequirementsWnd::FitFigures(bool rateChange) {
    m_labelShorter->setVisible(!rateChange);
    m_labelPhase->setVisible(!rateChange);
    m_listTaps->setMinimumHeight(rateChange ? kPlanTapsHeight : 0);
    const int rows = std::min(m_tableFigures->rowCount(), kMostFigureRows);
    m_tableFigures->setMinimumHeight(rateChange ? FiguresHeight(rows) : 0);
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
