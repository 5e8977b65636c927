// The document as JSON: what is written, and how each member is read and checked.
#include "core/design/requirements_design.h"
#include "core/document/bounded_json.h"
#include "core/document/design_document.h"
#include "core/formats/requirements_report.h"
#include "core/io/file_input.h"
#include "core/multirate/stage_plan.h"
#include "core/version.h"

#include <algorithm>
#include <array>
#include <limits>

namespace taplore {

using document::Json;

namespace {

constexpr std::array kResponses = {std::pair{"ordinary", ResponseKind::ordinary},
                                   std::pair{"hilbert", ResponseKind::hilbert},
                                   std::pair{"differentiator", ResponseKind::differentiator}};

constexpr std::array<std::string_view, 14> kTopMembers = {
    "format",         "version", "program", "note", "rate_hz", "bands",       "ripple_db",
    "attenuation_db", "method",  "pulse",   "taps", "report",  "rate_change", "cic"};
constexpr std::array<std::string_view, 5> kMethodMembers = {"name", "response", "length", "phase",
                                                            "nyquist"};
constexpr std::array<std::string_view, 7> kBandMembers = {
    "kind", "low_hz", "high_hz", "gain", "end_gain", "weight", "tolerance_db"};

// ---- Writing

void AppendUnknown(Json& object, const UnknownMembers& unknown) {
    for (const auto& [name, text] : unknown)
        object[name] = Json::parse(text);
}

Json BandJson(const DesignDocument& document, std::size_t i) {
    const Band& band = document.requirements.bands[i];
    Json json = Json::object();
    json["kind"] = !document.tolerances ? "band" : IsPassBand(band) ? "pass" : "stop";
    json["low_hz"] = band.lowHz;
    json["high_hz"] = band.highHz;
    // A pass band's gain only where it is not 1, so that a flat one reads as it always did.
    if (!document.tolerances || (IsPassBand(band) && band.gain != 1.0))
        json["gain"] = band.gain;
    if (band.endGain && (!document.tolerances || IsPassBand(band)))
        json["end_gain"] = *band.endGain;
    if (!document.tolerances)
        json["weight"] = band.weight;
    else if (band.toleranceDb)
        json["tolerance_db"] = *band.toleranceDb;
    if (i < document.unknownBands.size())
        AppendUnknown(json, document.unknownBands[i]);
    return json;
}

std::string ResponseName(ResponseKind kind) {
    for (const auto& [name, value] : kResponses)
        if (value == kind)
            return name;
    return "ordinary";
}

Json MethodJson(const DesignDocument& document) {
    Json json = Json::object();
    json["name"] = document.method->name;
    json["response"] = ResponseName(document.requirements.kind);
    if (document.length > 0)
        json["length"] = document.length;
    else
        json["length"] = "fewest";
    // Left out for linear phase, so that a linear-phase document reads as it always did.
    if (document.minimumPhase)
        json["phase"] = "minimum";
    // Left out without an L-th band, as phase is.
    if (document.nyquist > 0)
        json["nyquist"] = document.nyquist;
    AppendUnknown(json, document.unknownMethod);
    return json;
}

// {"shape": "rrc", "span_symbols": 8, "samples_per_symbol": 4, "rolloff": 0.35}, the gain by
// name where one is chosen.
Json PulseJson(const PulseRequest& pulse) {
    const PulseShapeInfo& shape = InfoOf(pulse.shape);
    Json json = Json::object();
    json["shape"] = shape.name;
    json["span_symbols"] = pulse.spanSymbols;
    json["samples_per_symbol"] = pulse.samplesPerSymbol;
    json[shape.bt ? "bt" : "rolloff"] = pulse.shaping;
    if (pulse.gain)
        json["gain"] = InfoOf(*pulse.gain).name;
    return json;
}

Json RateChangeJson(const RateChangeChoice& choice) {
    Json json = Json::object();
    json["change"] = choice.change == RateChange::decimate ? "decimate" : "interpolate";
    json["factor"] = choice.factor;
    json["stages"] = choice.stages;
    return json;
}

// {"stages": 4, "factor": 16, "delay": 1}
Json CicJson(const CicShape& cic) {
    Json json = Json::object();
    json["stages"] = cic.stages;
    json["factor"] = cic.factor;
    json["delay"] = cic.delay;
    return json;
}

Json BandFigureJson(const RequirementsReport& report, std::size_t i) {
    Json json = Json::object();
    const double deviation = i < report.deviations.size() ? report.deviations[i] : 0.0;
    json["deviation"] = deviation;
    if (!report.tolerances)
        return json;
    const BandFigure figure =
        FigureOf(report.requirements, report.requirements.bands[i], deviation);
    json[figure.pass ? "ripple_db" : "attenuation_db"] = figure.reachedDb;
    json["asked_db"] = figure.askedDb;
    json["margin_db"] = figure.marginDb;
    json["met"] = figure.met;
    return json;
}

Json ReportJson(const RequirementsReport& report) {
    Json json = Json::object();
    json["lines"] = FormatReport(report);
    json["taps"] = report.taps;
    if (report.tolerances)
        json["meets"] = Meets(report);
    if (report.method && report.method->showsBeta)
        json["beta"] = report.beta;
    Json bands = Json::array();
    for (std::size_t i = 0; i < report.requirements.bands.size(); ++i)
        bands.push_back(BandFigureJson(report, i));
    json["bands"] = std::move(bands);
    return json;
}

// ---- Reading

// "a string", "an array", "null": the type of value, as a message names it.
std::string TypeWords(const Json& value) {
    const std::string name = value.type_name();
    if (value.is_null())
        return name;
    return (value.is_object() || value.is_array() ? "an " : "a ") + name;
}

std::string WrongType(const std::string& path, const Json& value, const std::string& expected) {
    return path + ": must be " + expected + ", not " + TypeWords(value);
}

// One object of the document, its members taken by name and checked by type.
class Members {
public:
    Members(const Json& json, std::string path) : m_json(json), m_path(std::move(path)) {
        if (!json.is_object())
            throw DocumentError(
                WrongType(m_path.empty() ? "the document" : m_path, json, "an object"));
    }

    std::string Path(std::string_view name) const {
        return m_path.empty() ? std::string(name) : m_path + "." + std::string(name);
    }

    const Json* Find(std::string_view name) const {
        const auto it = m_json.find(name);
        return it == m_json.end() ? nullptr : &*it;
    }

    const Json& Required(std::string_view name) const {
        const Json* value = Find(name);
        if (!value)
            throw DocumentError(Path(name) + ": missing");
        return *value;
    }

    // The object member name, or nothing where it is left out.
    std::optional<Members> Object(std::string_view name) const {
        const Json* value = Find(name);
        return value ? std::optional<Members>(std::in_place, *value, Path(name)) : std::nullopt;
    }

    double Number(std::string_view name) const { return NumberOf(Required(name), name); }

    std::optional<double> OptionalNumber(std::string_view name) const {
        const Json* value = Find(name);
        return value ? std::optional(NumberOf(*value, name)) : std::nullopt;
    }

    std::string Text(std::string_view name, const std::string& otherwise) const {
        const Json* value = Find(name);
        return value ? TextOf(*value, name) : otherwise;
    }

    std::string RequiredText(std::string_view name) const { return TextOf(Required(name), name); }

    // The whole number of name, from 1 to most.
    int Count(std::string_view name, std::int64_t most) const {
        const Json& value = Required(name);
        if (!value.is_number_integer() || value.get<std::int64_t>() < 1 ||
            value.get<std::int64_t>() > most)
            throw DocumentError(Path(name) + ": must be a whole number from 1 to " +
                                std::to_string(most) + ", not " + value.dump());
        return static_cast<int>(value.get<std::int64_t>());
    }

    template <std::size_t N>
    UnknownMembers Unknown(const std::array<std::string_view, N>& known) const {
        UnknownMembers unknown;
        for (const auto& [name, value] : m_json.items())
            if (std::find(known.begin(), known.end(), name) == known.end())
                unknown.emplace_back(name, value.dump());
        return unknown;
    }

private:
    std::string TextOf(const Json& value, std::string_view name) const {
        if (!value.is_string())
            throw DocumentError(WrongType(Path(name), value, "a string"));
        return value.get<std::string>();
    }

    double NumberOf(const Json& value, std::string_view name) const {
        if (!value.is_number())
            throw DocumentError(WrongType(Path(name), value, "a number"));
        return value.get<double>();
    }

    const Json& m_json;
    std::string m_path;
};

void CheckFormat(const Members& top) {
    const Json& format = top.Required("format");
    if (format != kDocumentFormat)
        throw DocumentError("format: must be \"taplore-design\", not " +
                            format.dump(-1, ' ', false, Json::error_handler_t::replace) +
                            ": this is no Taplore design document");
    const Json& version = top.Required("version");
    if (!version.is_number_integer() || version.get<std::int64_t>() < 1)
        throw DocumentError("version: must be a whole number from 1, not " + version.dump());
    if (version.get<std::int64_t>() > kDocumentVersion)
        throw DocumentError("version " + version.dump() + " is newer than this Taplore reads " +
                            "(version " + std::to_string(kDocumentVersion) + " " +
                            "and older): open it with a newer Taplore");
}

// A band, and whether it is a pass or stop band of a pass/stop design.
std::pair<Band, bool> ReadBand(const Json& json, const std::string& path) {
    const Members members(json, path);
    Band band;
    band.lowHz = members.Number("low_hz");
    band.highHz = members.Number("high_hz");
    const std::string kind = members.RequiredText("kind");
    band.endGain = members.OptionalNumber("end_gain");
    if (kind == "band") {
        band.gain = members.Number("gain");
        band.weight = members.OptionalNumber("weight").value_or(1.0);
        if (members.Find("tolerance_db"))
            throw DocumentError(members.Path("tolerance_db") +
                                ": must be left out of a band of kind \"band\"");
        return {band, false};
    }
    if (kind != "pass" && kind != "stop")
        throw DocumentError(members.Path("kind") + ": must be pass, stop or band, not \"" + kind +
                            "\"");
    if (members.Find("weight"))
        throw DocumentError(path + ": a pass or stop band takes no weight");
    if (kind == "stop" && (members.Find("gain") || band.endGain))
        throw DocumentError(path + ": a stop band takes no gain");
    band.gain = kind == "pass" ? members.OptionalNumber("gain").value_or(1.0) : 0.0;
    // A pass band's ripple is relative to a gain other than 1, as the window asks it.
    band.relative = kind == "pass" && (band.gain != 1.0 || band.endGain);
    band.toleranceDb = members.OptionalNumber("tolerance_db");
    return {band, true};
}

void ReadBands(const Members& top, DesignDocument& document) {
    const Json& bands = top.Required("bands");
    if (!bands.is_array())
        throw DocumentError(WrongType("bands", bands, "an array"));
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const std::string path = "bands[" + std::to_string(i) + "]";
        const auto [band, tolerances] = ReadBand(bands[i], path);
        if (i > 0 && tolerances != document.tolerances)
            throw DocumentError(path + ": bands of kind \"band\" must be left out with pass and "
                                       "stop bands");
        document.tolerances = tolerances;
        document.requirements.bands.push_back(band);
        document.unknownBands.push_back(Members(bands[i], path).Unknown(kBandMembers));
    }
}

void ReadMethod(const Members& top, DesignDocument& document) {
    const Members method(top.Required("method"), "method");
    const std::string name = method.RequiredText("name");
    document.method = FindMethod(name);
    if (!document.method)
        throw DocumentError("method.name: must be " + MethodNames() + ", not \"" + name + "\"");
    const std::string response = method.Text("response", "ordinary");
    const auto kind = std::find_if(kResponses.begin(), kResponses.end(),
                                   [&](const auto& entry) { return entry.first == response; });
    if (kind == kResponses.end())
        throw DocumentError("method.response: must be ordinary, hilbert or differentiator, "
                            "not \"" +
                            response + "\"");
    document.requirements.kind = kind->second;
    const Json& length = method.Required("length");
    document.length = length == "fewest" ? 0 : method.Count("length", INT32_MAX);
    const std::string phase = method.Text("phase", "linear");
    if (phase != "linear" && phase != "minimum")
        throw DocumentError("method.phase: must be linear or minimum, not \"" + phase + "\"");
    document.minimumPhase = phase == "minimum";
    if (method.Find("nyquist"))
        document.nyquist = method.Count("nyquist", INT32_MAX);
    document.unknownMethod = method.Unknown(kMethodMembers);
}

// "rc, rrc or gaussian" and the like, for a refusal of a name.
template <class Infos> std::string NamesOf(const Infos& infos) {
    std::string names;
    for (std::size_t i = 0; i < infos.size(); ++i)
        names += (i == 0 ? "" : i + 1 == infos.size() ? " or " : ", ") + std::string(infos[i].name);
    return names;
}

void ReadPulse(const Members& top, DesignDocument& document) {
    const auto pulse = top.Object("pulse");
    if (!pulse)
        return;
    const std::string name = pulse->RequiredText("shape");
    const PulseShapeInfo* shape = FindPulseShape(name);
    if (!shape)
        throw DocumentError("pulse.shape: must be " + NamesOf(PulseShapes()) + ", not \"" + name +
                            "\"");
    PulseRequest request{shape->shape, pulse->Count("span_symbols", kMaxPulseTaps),
                         pulse->Count("samples_per_symbol", kMaxPulseTaps),
                         pulse->Number(shape->bt ? "bt" : "rolloff"), std::nullopt};
    if (pulse->Find("gain")) {
        const std::string gainName = pulse->RequiredText("gain");
        const PulseGainInfo* gain = FindPulseGain(gainName);
        if (!gain)
            throw DocumentError("pulse.gain: must be " + NamesOf(PulseGains()) + ", not \"" +
                                gainName + "\"");
        request.gain = gain->gain;
    }
    document.pulse = request;
}

// The factor of a change of rate: 2 or more.
int FactorOf(const Members& members) {
    const int factor = members.Count("factor", INT32_MAX);
    if (factor < 2)
        throw DocumentError(members.Path("factor") + ": must be 2 or more, not 1");
    return factor;
}

void ReadRateChange(const Members& top, DesignDocument& document) {
    const auto members = top.Object("rate_change");
    if (!members)
        return;
    RateChangeChoice choice;
    const std::string change = members->RequiredText("change");
    if (change != "decimate" && change != "interpolate")
        throw DocumentError("rate_change.change: must be decimate or interpolate, not \"" + change +
                            "\"");
    choice.change = change == "decimate" ? RateChange::decimate : RateChange::interpolate;
    choice.factor = FactorOf(*members);
    choice.stages = members->Text("stages", "1");
    if (!ParseStages(choice.stages))
        throw DocumentError("rate_change.stages: must be auto, a count from 1 to " +
                            std::to_string(kMostStages) + " or factors such as 4x4x3, not \"" +
                            choice.stages + "\"");
    document.rateChange = choice;
}

void ReadCic(const Members& top, DesignDocument& document) {
    const auto members = top.Object("cic");
    if (!members)
        return;
    CicShape cic;
    cic.stages = members->Count("stages", INT32_MAX);
    cic.factor = FactorOf(*members);
    // A comb of one sample's delay, as the command line's shape has unless given.
    if (members->Find("delay"))
        cic.delay = members->Count("delay", INT32_MAX);
    document.cic = cic;
}

void ReadTaps(const Members& top, DesignDocument& document) {
    const Json* taps = top.Find("taps");
    if (!taps)
        return;
    if (!taps->is_array())
        throw DocumentError(WrongType("taps", *taps, "an array"));
    document.taps.reserve(taps->size());
    for (std::size_t i = 0; i < taps->size(); ++i) {
        if (!(*taps)[i].is_number())
            throw DocumentError(
                WrongType("taps[" + std::to_string(i) + "]", (*taps)[i], "a number"));
        document.taps.push_back((*taps)[i].get<double>());
    }
}

} // namespace

std::string WriteDocument(const DesignDocument& document) {
    Json json = Json::object();
    json["format"] = kDocumentFormat;
    json["version"] = kDocumentVersion;
    json["program"] = std::string("Taplore ") + kTaploreVersion;
    json["note"] = document.note;
    json["rate_hz"] = document.requirements.rate;
    Json bands = Json::array();
    for (std::size_t i = 0; i < document.requirements.bands.size(); ++i)
        bands.push_back(BandJson(document, i));
    json["bands"] = std::move(bands);
    if (document.tolerances) {
        json["ripple_db"] = document.requirements.rippleDb;
        json["attenuation_db"] = document.requirements.attenuationDb;
    }
    json["method"] = MethodJson(document);
    if (document.pulse)
        json["pulse"] = PulseJson(*document.pulse);
    // Left out for a single-rate filter, so that its document reads as it always did.
    if (document.rateChange)
        json["rate_change"] = RateChangeJson(*document.rateChange);
    // Likewise left out for a filter that follows no CIC.
    if (document.cic)
        json["cic"] = CicJson(*document.cic);
    json["taps"] = document.taps;
    if (document.report)
        json["report"] = ReportJson(*document.report);
    AppendUnknown(json, document.unknown);
    // A note that is not UTF-8 is written with U+FFFD in place of its bad bytes.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

DesignDocument ReadDocument(std::string_view text) {
    const Json json = document::ParseBounded(text);
    const Members top(json, "");
    CheckFormat(top);
    DesignDocument document;
    document.program = top.Text("program", "");
    document.note = top.Text("note", "");
    document.requirements.rate = top.Number("rate_hz");
    ReadBands(top, document);
    if (document.tolerances) {
        document.requirements.rippleDb = top.Number("ripple_db");
        document.requirements.attenuationDb = top.Number("attenuation_db");
    }
    ReadMethod(top, document);
    ReadPulse(top, document);
    ReadRateChange(top, document);
    ReadCic(top, document);
    ReadTaps(top, document);
    document.unknown = top.Unknown(kTopMembers);
    if (const auto problem = CheckDocument(document))
        throw DocumentError(FieldName(*problem) + ": " + problem->text);
    return document;
}

DesignDocument LoadDocument(const std::string& path) {
    return ReadDocument(
        ReadWholeFile(path, {kMaxDocumentBytes, "the most a design document holds"}));
}

} // namespace taplore
