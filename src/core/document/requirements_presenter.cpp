#include "core/document/requirements_presenter.h"

#include "core/design/nyquist.h"
#include "core/dialog/requirements_view.h"
#include "core/document/nyquist_bands.h"
#include "core/document/sloped_bands.h"
#include "core/document/window_cic.h"
#include "core/document/window_rate_change.h"
#include "core/fixed/fewest_bits.h"
#include "core/formats/crt.h"
#include "core/formats/fixed_point.h"
#include "core/formats/multirate_report.h"
#include "core/formats/pulse_report.h"
#include "core/formats/requirements_report.h"
#include "core/formats/response_plot.h"
#include "core/formats/written_plan.h"
#include "core/io/file_output.h"

#include <algorithm>
#include <bit>
#include <new>

namespace taplore {

namespace {

const char* const kBitsProblem =
    "The width of integer exports must be B or B.F bits, B from 2 to 32.";
const PlotAxis kFrequency{"Frequency", "Hz"};

// Eight points a tap show every ripple of the magnitude; at least a screen's width of them.
int PointsFor(std::size_t taps) {
    const auto wanted = std::bit_ceil(std::max<std::size_t>(taps * 8, 2048));
    return static_cast<int>(std::min<std::size_t>(wanted, 1 << 18));
}

// Zeros farther from the origin than this lie outside the unit circle: linear phase's zeros on
// the circle are off it by rounding alone, and minimum phase's are kept within it.
constexpr double kOutsideRadius = 1 + 1e-9;

TapZeros ZerosOf(const std::vector<double>& taps) {
    try {
        return FindZeros(taps);
    } catch (const std::bad_alloc&) {
        TapZeros none;
        none.problem = "there is not enough memory for them";
        return none;
    }
}

// "45 zeros, 2 outside the unit circle, 1 at infinity."
std::string ZerosSummary(const TapZeros& found) {
    const auto outside = std::count_if(found.zeros.begin(), found.zeros.end(),
                                       [](auto zero) { return std::abs(zero) > kOutsideRadius; });
    std::string text = crt::FormatD(static_cast<int>(found.zeros.size())) + " zeros, " +
                       (outside == 0 ? "none" : crt::FormatD(static_cast<int>(outside))) +
                       " outside the unit circle";
    if (found.atInfinity > 0)
        text += ", " + crt::FormatD(found.atInfinity) + " at infinity";
    return text + ".";
}

// text without the white space around it.
std::string Trimmed(const std::string& text) {
    const char* const space = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

const Method& MethodOf(const std::string& name) {
    const Method* method = FindMethod(name);
    return method ? *method : DefaultMethod();
}

// A pulse's taps with the report the views and exports read: the rate, the length, no bands.
RequirementsDesign PulseDesignOf(const PulseRequest& pulse, double rate) {
    PulseDesign made = DesignPulse(pulse);
    RequirementsDesign design;
    design.status = made.status;
    design.message = std::move(made.message);
    design.taps = std::move(made.taps);
    design.report.requirements.rate = rate;
    design.report.taps = static_cast<int>(design.taps.size());
    design.report.tolerances = false;
    return design;
}

} // namespace

DesignShown DesignFor(const DesignAsk& ask, const Progress& progress) {
    DesignShown shown;
    try {
        if (ask.cic) {
            DesignWindowCompensator(ask, progress, shown);
        } else if (ask.rateChange) {
            DesignRateChange(ask, progress, shown);
        } else if (ask.pulse) {
            shown.design = PulseDesignOf(*ask.pulse, ask.requirements.rate);
            shown.pulse = ask.pulse;
        } else if (ask.nyquist > 0) {
            shown.design = DesignFewestNyquistTaps(NyquistOf(ask.requirements, ask.nyquist),
                                                   ask.nyquist, *ask.method, progress);
        } else if (ask.minimumPhase) {
            MinimumPhaseDesign minimum =
                DesignMinimumPhase(ask.requirements, *ask.method, ask.taps, progress);
            shown.design = std::move(minimum.design);
            shown.phase = minimum.phase;
        } else {
            shown.design = DesignToTolerances(ask.requirements, *ask.method, ask.taps, progress);
        }
    } catch (const std::bad_alloc&) { // the measuring grid of a long design
        shown.design.status = DesignStatus::failed;
        shown.design.message = "there is not enough memory for it";
        return shown;
    }
    if (!HasTaps(shown.design.status))
        return shown;
    if (ask.zeros)
        shown.zeros = ZerosOf(shown.design.taps);
    const FrequencyGrid grid(PointsFor(shown.design.taps.size()));
    shown.views = ComputeViews(shown.design.taps, grid);
    // The cascade's levels on the views' grid, its bins at half its spacing.
    if (shown.multirate &&
        !ComputeCascadeLevels(CascadeStages(*shown.multirate), 2 * grid.Points(), shown.levels))
        shown.levels = {};
    if (shown.compensator)
        shown.levels = CompensatorLevels(shown.compensator->ask,
                                         shown.views.Values(View::magnitude), grid.Points());
    try {
        // A rate change's stages are each rounded as its exports write them, plainly: the
        // chirp through one filter's arithmetic is not what its stages run. A compensator's
        // figures are its cascade's with the CIC, which one filter's effect does not measure.
        if (ask.arithmetic && shown.multirate)
            shown.rounded = RoundCascade(*shown.multirate, ask.arithmetic->taps, 2 * grid.Points());
        else if (ask.arithmetic && !shown.compensator)
            shown.fixedPoint = EffectOf(shown.design.taps, *ask.arithmetic, grid,
                                        shown.design.report.requirements);
    } catch (const NoFixedPointForm&) { // taps that are not finite have no effect to draw
    }
    shown.points = grid.Points();
    return shown;
}

ShortfallChoice ChooseShortfall(const AskShortfall& ask, const ExportFormat& format,
                                const std::string& shortfall, const std::string& after) {
    if (shortfall.empty())
        return ShortfallChoice::asChosen;
    return ask("The taps as " + std::string(format.name) +
               " writes them miss the requirements: " + shortfall + "." + after);
}

// ---- the inputs

double RequirementsPresenter::Rate() const {
    return crt::StrictAtof(Trimmed(m_inputs.rate)).value_or(0.0);
}

const Method& RequirementsPresenter::ChosenMethod() const {
    return MethodOf(m_inputs.method);
}

// The requirements as the window shows them, or nothing after saying what is wrong, where.
std::optional<DesignAsk> RequirementsPresenter::SetInputs(WindowInputs inputs) {
    m_inputs = std::move(inputs);
    DesignAsk ask;
    ask.requirements.rate = Rate();
    for (const BandRow& row : m_inputs.bands)
        ask.requirements.bands.push_back(DesignBand(row));
    ask.method = &ChosenMethod();
    ask.taps = m_inputs.fixed ? m_inputs.taps : 0;
    ask.minimumPhase = m_inputs.minimumPhase;
    ask.nyquist = m_inputs.nyquist;
    ask.zeros = m_zerosAsked;
    ask.arithmetic = m_arithmetic;
    std::string pulseProblem;
    ask.pulse = ReadWindowPulse(m_inputs.pulse, pulseProblem);
    if (ask.pulse && ask.nyquist > 0)
        pulseProblem = "Pulse: a pulse is designed by its closed form; set Nyquist to Off";
    // The bands are checked even under a pulse: the document keeps them.
    auto problem = CheckTolerances(ask.requirements);
    if (!problem && !pulseProblem.empty())
        problem = RequirementsProblem{RequirementsPart::kind, -1, pulseProblem};
    if (!problem && m_inputs.rateChange && (ask.pulse || ask.nyquist > 0))
        problem = RequirementsProblem{
            RequirementsPart::kind, -1,
            ask.pulse ? "Rate change: a pulse is designed at one rate; choose No rate change or "
                        "another Method"
                      : "Rate change: each stage is designed to its own requirements; set "
                        "Nyquist to Off"};
    if (!problem && ask.nyquist > 0)
        problem = WindowNyquistProblem(ask.requirements, ask.nyquist,
                                       {ask.method, ask.minimumPhase, m_inputs.fixed});
    if (!problem)
        problem = WindowSlopeProblem(ask.requirements, *ask.method, ask.minimumPhase);
    const bool changing = m_inputs.rateChange || !Trimmed(m_inputs.cic).empty();
    if (!problem && ask.taps > 0 && !changing)
        problem = SymmetryProblem(ask.requirements, ask.taps);
    const std::string rateProblem = problem ? std::string() : ReadRateChanges(ask);
    if (!problem && rateProblem.empty()) {
        m_problem.clear();
        m_state = State::designing;
        m_ask = ask;
        return ask;
    }
    if (problem) {
        std::string where = problem->part == RequirementsPart::rate ? "Rate: " : "";
        if (problem->part == RequirementsPart::taps)
            where = "Length: ";
        if (problem->band >= 0)
            where = "Band " + std::to_string(problem->band + 1) + ": ";
        m_problem = where + problem->text + ".";
    } else {
        m_problem = rateProblem;
    }
    m_state = State::outOfDate;
    m_ask.reset();
    return std::nullopt;
}

// The CIC's compensator, or else the rate change, into ask; what is wrong with them, or empty.
std::string RequirementsPresenter::ReadRateChanges(DesignAsk& ask) const {
    const std::string cic = Trimmed(m_inputs.cic);
    if (!cic.empty()) {
        WindowCic read = ReadCic(cic, m_inputs.rateChange, ask);
        ask.cic = read.ask;
        return read.problem;
    }
    if (!m_inputs.rateChange)
        return {};
    WindowRateChange read = ReadRateChange(*m_inputs.rateChange, ask.requirements, *ask.method,
                                           ask.minimumPhase, ask.taps);
    ask.rateChange = read.ask;
    return read.problem;
}

// ---- the design

std::string RequirementsPresenter::StateText() const {
    switch (m_state) {
    case State::designing:
        return "designing…";
    case State::outOfDate:
        return "out of date";
    case State::current:
        break;
    }
    return std::to_string(TapCount()) + " taps";
}

std::string RequirementsPresenter::WaitReason() const {
    switch (m_state) {
    case State::designing:
        return "the design of the requirements shown is under way.";
    case State::outOfDate:
        return m_problem;
    case State::current:
        break;
    }
    return {};
}

RequirementsPresenter::Accepted
RequirementsPresenter::Accept(std::shared_ptr<const DesignShown> shown) {
    const RequirementsDesign& design = shown->design;
    if (design.status == DesignStatus::stopped)
        return Accepted::stopped;
    if (!HasTaps(design.status)) {
        m_problem = "The design failed: " + design.message + ".";
        m_state = State::outOfDate;
        return Accepted::failed;
    }
    m_shown = std::move(shown);
    const std::vector<double>& taps = m_shown->design.taps;
    m_taps = std::shared_ptr<double[]>(new double[taps.size()]);
    std::copy(taps.begin(), taps.end(), m_taps.get());
    m_state = State::current;
    return Accepted::shown;
}

int RequirementsPresenter::TapCount() const {
    return m_shown ? static_cast<int>(m_shown->design.taps.size()) : 0;
}

ResultTexts RequirementsPresenter::Result() const {
    ResultTexts texts;
    if (!m_shown)
        return texts;
    const RequirementsDesign& design = m_shown->design;
    const TapsDescription description = Description();
    if (design.status == DesignStatus::convergedWithWarning)
        texts.note = "Note: " + design.message + ".";
    texts.headline = description.title;
    if (m_shown->multirate) {
        texts.headline = RateChangeHeadline(*m_shown->multirate);
        texts.figures = RateChangeRows(*m_shown->multirate);
    } else if (m_shown->compensator) {
        texts.figures = CompensatorRows(*m_shown->compensator);
        texts.shorter = CompensatorShorterText(*m_shown->compensator);
    } else {
        SingleRateTexts(texts);
    }
    texts.summary = description.title;
    for (const std::string& note : description.notes)
        texts.summary += ". " + note;
    texts.summary += ".";
    return texts;
}

void RequirementsPresenter::SingleRateTexts(ResultTexts& texts) const {
    const RequirementsDesign& design = m_shown->design;
    texts.shorter = ShorterText(design.report);
    if (design.report.nyquistBand > 0)
        texts.zeroTaps = ZeroTapsLine(design.report) + ".";
    if (m_shown->phase) {
        TapsDescription phase;
        DescribePhase(*m_shown->phase, phase);
        for (const std::string& line : phase.notes)
            texts.phase += (texts.phase.empty() ? "" : "\n") + line + ".";
    }
    // A row a band: what it asked, what it reached, and the margin.
    const Requirements& requirements = design.report.requirements;
    for (std::size_t i = 0; i < requirements.bands.size(); ++i) {
        const Band& band = requirements.bands[i];
        const BandFigure figure = FigureOf(requirements, band, design.report.deviations[i]);
        const FigureTexts figureTexts = FigureTextsOf(figure);
        texts.figures.push_back({BandTitle(band), figureTexts.asked, figureTexts.reached,
                                 figureTexts.margin, figure.met});
    }
}

TapsDescription RequirementsPresenter::Description() const {
    if (!m_shown)
        return {};
    if (m_shown->multirate)
        return DescribeMultirate(*m_shown->multirate);
    if (m_shown->compensator)
        return DescribeWindowCompensator(*m_shown->compensator);
    if (m_shown->pulse)
        return DescribePulse(*m_shown->pulse, m_shown->design.taps,
                             m_shown->design.report.requirements.rate);
    TapsDescription description = DescribeReport(m_shown->design.report);
    if (m_shown->phase)
        DescribePhase(*m_shown->phase, description);
    return description;
}

PlotData RequirementsPresenter::Magnitude(bool zoomed) const {
    PlotData plot;
    if (!m_shown)
        return plot;
    const DesignShown& shown = *m_shown;
    const double rate = shown.design.report.requirements.rate;
    // A rate change draws its cascade, and shades what the cascade must keep; a compensator
    // its cascade with the CIC, the CIC and the FIR dashed under it.
    const bool cascade = (shown.multirate || shown.compensator) && !shown.levels.cascade.empty();
    const std::vector<double>& db =
        cascade ? shown.levels.cascade : shown.views.Values(View::magnitude);
    for (int k = 0; k < shown.points; ++k) {
        plot.x.push_back(k * rate / (2.0 * shown.points));
        plot.y.push_back(db[k]);
    }
    const ViewInfo& info = InfoOf(View::magnitude);
    plot.xAxis = kFrequency;
    plot.yAxis = {std::string(info.title), std::string(info.unit)};
    const std::vector<RequiredBand> bands = shown.multirate && cascade
                                                ? RateChangeBands(shown.multirate->ask)
                                                : RequiredBands(shown.design.report);
    const std::vector<double>* rounded = shown.rounded      ? &shown.rounded->levels
                                         : shown.fixedPoint ? &shown.fixedPoint->magnitudeDb
                                                            : nullptr;
    if (rounded)
        plot.overlay.assign(rounded->begin(), rounded->begin() + shown.points);
    plot.parts = CascadeParts(shown);
    for (const RequiredBand& band : bands)
        plot.regions.push_back({band.lowHz, band.highHz, band.floorDb, band.ceilingDb});
    const MagnitudeRanges part = MagnitudeRangesOf(bands, rate, zoomed);
    plot.yRange = PlotRange{part.dbLow, part.dbHigh};
    plot.xRange = PlotRange{part.hzLow, part.hzHigh};
    plot.name = std::string(info.title);
    plot.description = Result().summary;
    return plot;
}

PlotData RequirementsPresenter::SecondView(int index) const {
    PlotData plot;
    // The zeros have no curve: Zeros() gives them.
    if (!m_shown || IsZerosView(index))
        return plot;
    const DesignShown& shown = *m_shown;
    const std::vector<ViewInfo> views = SecondViews();
    const ViewInfo info =
        views[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(views.size()) - 1))];
    const double rate = shown.design.report.requirements.rate;
    const std::vector<double>& values = shown.views.Values(info.view);
    const std::size_t count =
        info.overFrequency ? static_cast<std::size_t>(shown.points) : values.size();
    for (std::size_t n = 0; n < count; ++n) {
        plot.x.push_back(info.overFrequency ? n * rate / (2.0 * shown.points) : double(n));
        plot.y.push_back(values[n]);
    }
    plot.xAxis = info.overFrequency ? kFrequency : PlotAxis{"Time", "samples"};
    plot.yAxis = {std::string(info.title), std::string(info.unit)};
    // Frequency runs to half the rate, one step past the last point.
    if (info.overFrequency)
        plot.xRange = PlotRange{0, rate / 2};
    plot.name = std::string(info.title);
    plot.description = RangeSummary(info, std::span(values).first(count));
    return plot;
}

bool RequirementsPresenter::IsZerosView(int index) {
    const std::vector<ViewInfo> views = SecondViews();
    return index >= 0 && index < static_cast<int>(views.size()) &&
           views[static_cast<std::size_t>(index)].view == View::zeros;
}

ZerosData RequirementsPresenter::Zeros() const {
    ZerosData data;
    data.name = std::string(InfoOf(View::zeros).title);
    if (!HasZeros())
        return data;
    const TapZeros& found = *m_shown->zeros;
    if (!found.problem.empty()) {
        data.problem = "The zeros could not be found: " + found.problem + ".";
        data.description = data.problem;
        return data;
    }
    data.zeros = found.zeros;
    data.description = ZerosSummary(found);
    return data;
}

std::vector<std::string> RequirementsPresenter::SecondViewTitles() {
    std::vector<std::string> titles;
    for (const ViewInfo& info : SecondViews())
        titles.emplace_back(info.title);
    return titles;
}

// ---- the fixed-point arithmetic

void RequirementsPresenter::SetFixedPoint(std::optional<FixedPointInputs> inputs) {
    m_fixedOn = inputs.has_value();
    m_searchRoundings = inputs && inputs->searchRoundings;
    m_arithmetic.reset();
    m_fixedProblem.clear();
    if (!inputs)
        return;
    for (std::string* field :
         {&inputs->tapBits, &inputs->inputBits, &inputs->outputBits, &inputs->accumulatorBits})
        *field = Trimmed(*field);
    m_arithmetic = ReadArithmetic(*inputs, m_fixedProblem);
}

const FixedPointEffect* RequirementsPresenter::Effect() const {
    return m_shown && m_shown->fixedPoint ? &*m_shown->fixedPoint : nullptr;
}

FixedPointTexts RequirementsPresenter::FixedPointShown() const {
    FixedPointTexts texts{{}, "Overflows", {}, {}};
    if (const FixedPointEffect* effect = Effect())
        texts.effect = EffectText(*effect);
    if (m_shown && m_shown->compensator)
        texts.searchOff = "Not for a CIC compensator: the search keeps one filter's requirements, "
                          "and a compensator's are its cascade's with the CIC; its taps are "
                          "rounded plainly";
    const MultirateDesign* plan = m_shown ? m_shown->multirate.get() : nullptr;
    if (!plan)
        return texts;
    texts.effectName = "Rounded stages";
    if (m_shown->rounded)
        texts.effect = RoundedCascadeText(*m_shown->rounded, plan->ask);
    texts.searchOff = "Not for a rate change: the search keeps one filter's requirements, and a "
                      "rate change's are its cascade's; each stage is rounded plainly";
    if (plan->stages.size() > 1)
        texts.widthsOff = "Not for a plan of stages: these are one filter's widths, for the HDL "
                          "filters and the chirp's overflows, and a plan's stages each run at a "
                          "rate of their own";
    return texts;
}

// ---- outputs

std::string RequirementsPresenter::BitsProblem(const std::string& bitsText) {
    return ParseQFormat(Trimmed(bitsText)) ? std::string() : "must be B or B.F, B from 2 to 32";
}

std::vector<const ExportFormat*> RequirementsPresenter::ExportChoices() const {
    std::vector<const ExportFormat*> choices;
    for (const ExportFormat& format : ExportFormats())
        if ((!format.takesRateChange || ChangesRate()) && (m_fixedOn || !format.takesArithmetic))
            choices.push_back(&format);
    return choices;
}

bool RequirementsPresenter::ChangesRate() const {
    return m_shown &&
           (m_shown->multirate || (m_shown->compensator && m_shown->compensator->ask.decimate > 1));
}

std::optional<RateFactor> RequirementsPresenter::ShownRateFactor() const {
    // A plan is written by ExportRateChange; a compensator makes its own decimation.
    if (ChangesRate() && m_shown->compensator)
        return RateFactor{true, m_shown->compensator->ask.decimate};
    return std::nullopt;
}

std::vector<std::string> RequirementsPresenter::ExportFilters() const {
    std::vector<std::string> filters;
    for (const ExportFormat* format : ExportChoices())
        filters.push_back(std::string(format->name) + ": " + std::string(format->summary) + " (*." +
                          std::string(format->extension) + ")");
    return filters;
}

std::string RequirementsPresenter::WithExtension(const std::string& path,
                                                 const ExportFormat& format) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot + 1 < name.size())
        return path;
    return path + "." + std::string(format.extension);
}

std::optional<std::string> RequirementsPresenter::Export(const std::string& path,
                                                         const ExportFormat& format,
                                                         const std::string& bitsText,
                                                         const AskShortfall& ask) const {
    if (!m_shown)
        return std::nullopt;
    // Only a format whose width is chosen needs the Bits field to read right.
    const auto width = ParseQFormat(Trimmed(bitsText));
    if (!width && format.width == ExportWidth::chosen)
        return kBitsProblem;
    // A plan's stages are not written as HDL filters: ExportRateChange says so.
    const MultirateDesign* plan = m_shown->multirate.get();
    if (format.takesArithmetic && !m_arithmetic && (!plan || plan->stages.size() == 1))
        return m_fixedProblem;
    if (plan)
        return ExportRateChange(path, *plan, format, width.value_or(QFormat::q15),
                                m_arithmetic ? m_arithmetic->formats : BitTrueFormats{}, ask);
    const std::vector<double>& taps = m_shown->design.taps;
    const RequirementsReport& report = m_shown->design.report;
    std::string text;
    try {
        std::optional<FixedPointTaps> quantised;
        if (const auto form = ExportQFormat(format, width.value_or(QFormat::q15)))
            quantised = QuantiseTaps(
                taps, *form,
                m_searchRoundings && !m_shown->compensator ? &report.requirements : nullptr);
        const FixedPointTaps* integers = quantised ? &*quantised : nullptr;
        // A pulse has no requirements to measure the written taps against; a compensator's taps
        // keep them only with the CIC, and are measured so.
        WrittenReport written =
            m_shown->pulse ? WrittenReport{Description(), {}}
            : m_shown->compensator
                ? WrittenReport{Description(),
                                CompensatorShortfall(m_shown->compensator->ask, taps, format,
                                                     integers, AskedOf(m_shown->compensator->ask))}
                : ReportAsWritten(report, format, taps, integers);
        if (m_shown->phase)
            DescribePhase(*m_shown->phase, written.description);
        const ShortfallChoice choice = ChooseShortfall(ask, format, written.shortfall);
        if (choice == ShortfallChoice::cancel)
            return std::nullopt;
        if (choice == ShortfallChoice::fullPrecision)
            text =
                FindExportFormat("full")->write({taps, nullptr, Description(), kDefaultBlockSize});
        else
            text = format.write({taps, integers, written.description, kDefaultBlockSize,
                                 ShownRateFactor(),
                                 m_arithmetic ? m_arithmetic->formats : BitTrueFormats{}});
    } catch (const std::runtime_error& e) { // no fixed-point form, or a refused export
        return std::string(e.what());
    }
    if (!text.empty())
        WriteTextFile(path, text);
    return std::nullopt;
}

} // namespace taplore
