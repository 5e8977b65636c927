#include "gui/requirements/fixed_point_panel.h"

#include "core/fixed/fewest_bits.h"
#include "gui/requirements/message_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* NewWidth(const QString& text, const QString& placeholder, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setPlaceholderText(placeholder);
    edit->setMaximumWidth(90);
    return edit;
}

// A label before its control in the grid, its mnemonic moving the focus there.
void AddLabelled(QGridLayout* grid, int row, int column, const QString& text, QWidget* control) {
    auto* label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, column);
    grid->addWidget(control, row, column + 1);
}

// Greys control where it is of no use (why, or not usable), its tooltip saying why; gives back
// its own tooltip where it is.
void Withhold(QWidget* control, const QString& why, bool usable = true) {
    const char* const own = "ownToolTip";
    if (!control->property(own).isValid())
        control->setProperty(own, control->toolTip());
    control->setEnabled(usable && why.isEmpty());
    control->setToolTip(why.isEmpty() ? control->property(own).toString() : why);
}

} // namespace

CFixedPointPanel::CFixedPointPanel(taplore::RequirementsPresenter& presenter, QWidget* parent)
    : QGroupBox("Fixed p&oint", parent), m_presenter(presenter) {
    setCheckable(true);
    setChecked(false);
    setToolTip("The filter's fixed-point arithmetic: its response, overflows and fewest bits");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(m_body = Body());
    m_body->setVisible(false);
    // Names for tests and for assistive technology to find the controls by.
    const std::pair<QWidget*, const char*> names[] = {
        {m_editInput, "editInputBits"},          {m_editOutput, "editOutputBits"},
        {m_editAccumulator, "editAccBits"},      {m_comboOverflow, "comboOverflow"},
        {m_comboRounding, "comboRounding"},      {m_buttonFewest, "fewestBits"},
        {m_checkSearch, "checkSearchRoundings"}, {m_labelProblem, "labelFixedProblem"},
        {m_labelOverflows, "labelOverflows"},    {m_labelFewest, "labelFewest"}};
    for (const auto& [control, name] : names)
        control->setObjectName(name);
    m_pool.setMaxThreadCount(1);
    const auto arithmetic = &CFixedPointPanel::OnArithmeticChanged;
    connect(this, &QGroupBox::toggled, this, &CFixedPointPanel::OnToggled);
    for (QLineEdit* edit : {m_editInput, m_editOutput, m_editAccumulator})
        connect(edit, &QLineEdit::textChanged, this, arithmetic);
    for (QComboBox* combo : {m_comboOverflow, m_comboRounding})
        connect(combo, &QComboBox::currentIndexChanged, this, arithmetic);
    connect(m_checkSearch, &QCheckBox::toggled, this, arithmetic);
    connect(m_buttonFewest, &QPushButton::clicked, this, &CFixedPointPanel::OnFewestBits);
}

QWidget* CFixedPointPanel::Body() {
    auto* body = new QWidget(this);
    m_editInput = NewWidth("16", "B or B.F", body);
    m_editOutput = NewWidth("", "the input's", body);
    m_editAccumulator = NewWidth("", "auto", body);
    m_comboOverflow = new QComboBox(body);
    for (auto overflow : {taplore::Overflow::wrap, taplore::Overflow::saturate})
        m_comboOverflow->addItem(FromStd(taplore::OverflowName(overflow)), int(overflow));
    m_comboRounding = new QComboBox(body);
    for (auto rounding : {taplore::Rounding::nearest, taplore::Rounding::floor,
                          taplore::Rounding::zero, taplore::Rounding::convergent})
        m_comboRounding->addItem(FromStd(taplore::RoundingName(rounding)), int(rounding));
    m_comboRounding->setAccessibleName("Rounding");
    m_buttonFewest = new QPushButton("Fewest bits b&y search", body);
    m_buttonFewest->setAutoDefault(false);
    m_buttonFewest->setToolTip("The fewest coefficient bits that keep the requirements, into Bits");
    // No mnemonic: the window has none left.
    m_checkSearch = new QCheckBox("Search roundings", body);
    m_checkSearch->setToolTip("The taps' integers as Fewest bits searched them to the "
                              "requirements, not rounded plainly: for the curve, the overflows "
                              "and every export");
    m_labelProblem = new MessageLabel(body, "Fixed-point problem", MessageLabel::Kind::problem);
    // Three lines: the texts are long for the width of the plots' column.
    m_labelOverflows = new MessageLabel(body, "Overflows", MessageLabel::Kind::information, 3);
    m_labelFewest = new MessageLabel(body, "Fewest bits", MessageLabel::Kind::information, 3);

    auto* grid = new QGridLayout;
    AddLabelled(grid, 0, 0, "Input bits (&J):", m_editInput);
    AddLabelled(grid, 0, 2, "Output bits (&Q):", m_editOutput);
    AddLabelled(grid, 1, 0, "Accumulator (&K):", m_editAccumulator);
    grid->addWidget(m_buttonFewest, 1, 2, 1, 2);
    auto* modes = new QHBoxLayout;
    modes->addWidget(m_comboOverflow);
    modes->addWidget(m_comboRounding);
    modes->addStretch();
    auto* modesLabel = new QLabel("Overflow, roundin&g:", body);
    modesLabel->setBuddy(m_comboOverflow);
    grid->addWidget(modesLabel, 2, 0);
    grid->addLayout(modes, 2, 1, 1, 3);
    grid->addWidget(m_checkSearch, 3, 1, 1, 3);
    grid->setColumnStretch(4, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grid);
    layout->addWidget(m_labelProblem);
    layout->addWidget(m_labelOverflows);
    layout->addWidget(m_labelFewest);
    return body;
}

void CFixedPointPanel::SetTapBits(const QString& bits) {
    m_tapBits = bits;
    if (isChecked())
        OnArithmeticChanged();
}

taplore::FixedPointInputs CFixedPointPanel::ReadInputs() const {
    taplore::FixedPointInputs inputs;
    inputs.tapBits = m_tapBits.toStdString();
    inputs.inputBits = m_editInput->text().toStdString();
    inputs.outputBits = m_editOutput->text().toStdString();
    inputs.accumulatorBits = m_editAccumulator->text().toStdString();
    inputs.overflow = static_cast<taplore::Overflow>(m_comboOverflow->currentData().toInt());
    inputs.rounding = static_cast<taplore::Rounding>(m_comboRounding->currentData().toInt());
    inputs.searchRoundings = m_checkSearch->isChecked();
    return inputs;
}

// Collapsed while off: the window keeps its size for those who never use it.
void CFixedPointPanel::OnToggled(bool on) {
    m_body->setVisible(on);
    OnArithmeticChanged();
}

void CFixedPointPanel::OnArithmeticChanged() {
    m_presenter.SetFixedPoint(isChecked() ? std::optional(ReadInputs()) : std::nullopt);
    m_labelProblem->setText(FromStd(m_presenter.FixedPointProblem()));
    m_labelOverflows->clear();
    emit changed();
}

CFixedPointPanel::~CFixedPointPanel() {
    StopSearch();
    m_pool.waitForDone();
}

void CFixedPointPanel::StopSearch() {
    ++m_search;
    if (m_stop)
        m_stop->store(true);
}

void CFixedPointPanel::OnDesignShown() {
    StopSearch();
    if (!m_buttonFewest->isEnabled()) // the search was for the design before
        m_labelFewest->clear();
    const taplore::FixedPointTexts texts = m_presenter.FixedPointShown();
    m_labelOverflows->setText(FromStd(texts.effect));
    m_labelOverflows->setAccessibleName(FromStd(texts.effectName));
    WithholdFor(texts);
    const taplore::FixedPointEffect* effect = m_presenter.Effect();
    m_editAccumulator->setPlaceholderText(effect && effect->automaticAccumulator
                                              ? QString("auto: %1").arg(effect->accumulatorBits)
                                              : QString("auto"));
}

// What models one filter alone is greyed for a rate change, its tooltip saying why.
void CFixedPointPanel::WithholdFor(const taplore::FixedPointTexts& texts) {
    m_searchOff = FromStd(texts.searchOff);
    Withhold(m_buttonFewest, m_searchOff);
    Withhold(m_checkSearch, m_searchOff, m_linear);
    for (QWidget* width : std::initializer_list<QWidget*>{
             m_editInput, m_editOutput, m_editAccumulator, m_comboOverflow, m_comboRounding})
        Withhold(width, FromStd(texts.widthsOff));
}

// The search takes up to seconds: on a worker, the window going on meanwhile.
void CFixedPointPanel::OnFewestBits() {
    const taplore::DesignShown* shown = m_presenter.Shown();
    if (!shown || !m_presenter.Current()) {
        m_labelFewest->setText("Fewest bits waits for the design of the requirements shown.");
        return;
    }
    m_buttonFewest->setEnabled(false);
    m_labelFewest->setText("Searching the fewest bits…");
    const int search = ++m_search;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    m_pool.start([this, search, stop, taps = shown->design.taps,
                  requirements = shown->design.report.requirements] {
        std::optional<taplore::FewestBits> found;
        try {
            found = taplore::FindFewestBits(taps, requirements,
                                            [stop](double) { return !stop->load(); });
        } catch (const std::exception&) { // taps without a fixed-point form, or no memory
        }
        QMetaObject::invokeMethod(
            this,
            [this, search, found] {
                if (search == m_search)
                    ShowFewest(found);
            },
            Qt::QueuedConnection);
    });
}

void CFixedPointPanel::ShowFewest(const std::optional<taplore::FewestBits>& found) {
    m_buttonFewest->setEnabled(true);
    if (!found) {
        m_labelFewest->setText("No width up to 32 bits keeps the requirements.");
        return;
    }
    m_labelFewest->setText(FromStd(taplore::FewestBitsText(*found)));
    // The width found holds only with its searched integers. Quiet: the new width asks the
    // design again, with the box, once; an unchanged width asks here.
    {
        const QSignalBlocker quiet(m_checkSearch);
        m_checkSearch->setChecked(true);
    }
    const QString bits = FromStd(taplore::WidthText(found->taps.format));
    const bool sameWidth = bits == m_tapBits;
    emit fewestBitsFound(bits);
    if (sameWidth)
        OnArithmeticChanged();
}

// The search moves symmetric pairs of taps: a minimum-phase filter's are always rounded plainly.
void CFixedPointPanel::SetLinearPhase(bool linear) {
    m_linear = linear;
    Withhold(m_checkSearch, m_searchOff, m_linear);
}

void CFixedPointPanel::Restore(const QSettings& settings) {
    m_editInput->setText(settings.value("inputBits", m_editInput->text()).toString());
    m_editOutput->setText(settings.value("outputBits").toString());
    m_editAccumulator->setText(settings.value("accumulatorBits").toString());
    m_comboOverflow->setCurrentIndex(
        std::max(0, m_comboOverflow->findText(settings.value("overflow").toString())));
    m_comboRounding->setCurrentIndex(
        std::max(0, m_comboRounding->findText(settings.value("rounding").toString())));
    m_checkSearch->setChecked(settings.value("searchRoundings", false).toBool());
    setChecked(settings.value("fixedPoint", false).toBool());
}

void CFixedPointPanel::Save(QSettings& settings) const {
    settings.setValue("fixedPoint", isChecked());
    settings.setValue("inputBits", m_editInput->text());
    settings.setValue("outputBits", m_editOutput->text());
    settings.setValue("accumulatorBits", m_editAccumulator->text());
    settings.setValue("overflow", m_comboOverflow->currentText());
    settings.setValue("rounding", m_comboRounding->currentText());
    settings.setValue("searchRoundings", m_checkSearch->isChecked());
}
