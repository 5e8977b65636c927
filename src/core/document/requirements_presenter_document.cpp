// The requirements window's design document: what Save writes, what Open and a recovered copy
// fill the window with, and the names and refusals the window shows of them.
#include "core/document/requirements_presenter.h"

#include "core/dialog/requirements_view.h"
#include "core/formats/crt.h"
#include "core/io/file_output.h"

namespace taplore {
namespace {

// A new document's ripple and attenuation, which its bands' own replace.
constexpr double kDefaultRippleDb = 0.1;
constexpr double kDefaultAttenuationDb = 60.0;

// Without a file: the default tolerances, which the window's rows replace.
DesignDocument NewDocument() {
    DesignDocument document;
    document.requirements.rippleDb = kDefaultRippleDb;
    document.requirements.attenuationDb = kDefaultAttenuationDb;
    return document;
}

} // namespace

RequirementsPresenter::RequirementsPresenter() : m_base(NewDocument()) {}

// ---- the document

std::optional<DesignDocument> RequirementsPresenter::Document() const {
    if (!m_ask)
        return std::nullopt;
    DesignDocument document = m_base;
    const double rippleDb = m_base.requirements.rippleDb;
    const double attenuationDb = m_base.requirements.attenuationDb;
    document.requirements = m_ask->requirements;
    document.requirements.rippleDb = rippleDb;
    document.requirements.attenuationDb = attenuationDb;
    document.tolerances = true;
    document.method = m_ask->method;
    document.length = m_ask->taps;
    document.minimumPhase = m_ask->minimumPhase;
    document.nyquist = m_ask->nyquist;
    document.pulse = m_ask->pulse;
    document.rateChange = m_inputs.rateChange;
    document.cic = m_ask->cic ? std::optional(m_ask->cic->cic) : std::nullopt;
    document.taps.clear();
    document.report.reset();
    if (Current() && m_shown) {
        document.taps = m_shown->design.taps;
        // A pulse's report has no requirements for the document to show; a compensator's taps
        // keep them only with the CIC, which the report of taps alone would not measure.
        if (!m_shown->pulse && !m_shown->compensator)
            document.report = m_shown->design.report;
    }
    // The unknown members of bands stay with their bands while none was added or removed.
    if (document.unknownBands.size() != document.requirements.bands.size())
        document.unknownBands.clear();
    return document;
}

std::optional<std::string> RequirementsPresenter::Save(const std::string& path) {
    const std::optional<DesignDocument> document = Document();
    if (!document)
        return "The design cannot be saved while its requirements are wrong: " + m_problem;
    WriteTextFile(path, WriteDocument(*document));
    m_base = *document;
    m_path = path;
    m_saved = m_inputs;
    return std::nullopt;
}

std::optional<std::string> RequirementsPresenter::WindowProblem(const DesignDocument& document) {
    if (!document.tolerances)
        return "bands: the requirements window designs pass and stop bands; design bands of "
               "any gain with taplore-design --design";
    return std::nullopt;
}

WindowInputs RequirementsPresenter::InputsOf(const DesignDocument& document) {
    if (const auto problem = WindowProblem(document))
        throw DocumentError(*problem);
    WindowInputs inputs;
    const Requirements& r = document.requirements;
    inputs.rate = crt::FormatShortest(r.rate);
    inputs.bands.clear();
    for (const Band& band : r.bands)
        inputs.bands.push_back(RowOf(
            band, band.toleranceDb.value_or(IsPassBand(band) ? r.rippleDb : r.attenuationDb)));
    inputs.method = std::string(document.method->name);
    inputs.fixed = document.length > 0;
    if (document.length > 0)
        inputs.taps = document.length;
    inputs.minimumPhase = document.minimumPhase;
    inputs.nyquist = document.nyquist;
    if (document.pulse)
        inputs.pulse = PulseRowOf(*document.pulse);
    inputs.rateChange = document.rateChange;
    if (document.cic)
        inputs.cic = CicText(*document.cic);
    return inputs;
}

WindowInputs RequirementsPresenter::Open(const std::string& path) {
    DesignDocument document = LoadDocument(path);
    WindowInputs inputs = InputsOf(document);
    m_base = std::move(document);
    m_path = path;
    return inputs;
}

WindowInputs RequirementsPresenter::New() {
    m_base = NewDocument();
    m_path.clear();
    return WindowInputs{};
}

WindowInputs RequirementsPresenter::Recover(const DesignDocument& document,
                                            const std::string& file) {
    WindowInputs inputs = InputsOf(document);
    m_base = document;
    m_path = file;
    m_saved.reset();
    return inputs;
}

std::string RequirementsPresenter::DocumentName() const {
    if (m_path.empty())
        return "Untitled";
    const std::size_t slash = m_path.find_last_of('/');
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string RequirementsPresenter::OpenRefusal(const std::string& path, const std::string& why) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string text = "Cannot open " + name + ": " + why;
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

std::vector<std::string> WithRecent(std::vector<std::string> recent, const std::string& path,
                                    std::size_t most) {
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > most)
        recent.resize(most);
    return recent;
}

} // namespace taplore
