#include "cli/options.h"

#include "cli/console.h"
#include "core/formats/crt.h"
#include "core/version.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <system_error>

namespace {

using taplore::ExportFormat;

// Reads one text of an option into the request: "" when read, else the refusal's words.
using Reader = std::function<std::string(const std::string&)>;

std::string Refusal(const std::string& expected, const std::string& text) {
    return "must be " + expected + ", not \"" + Echoed(text) + "\"";
}

// value into keep, or the refusal where there is none.
template <typename T, typename Keep>
std::string Kept(const std::optional<T>& value, const std::string& refusal, Keep keep) {
    if (!value)
        return refusal;
    keep(*value);
    return "";
}

// value as the option's one value, with its text.
template <typename T>
std::string KeptIn(const std::optional<T>& value, const std::string& refusal,
                   const std::string& text, std::optional<Given<T>>& slot) {
    return Kept(value, refusal, [&](const T& v) { slot = Given<T>{v, text}; });
}

template <typename T>
std::optional<T> If(const std::optional<T>& value, const std::function<bool(const T&)>& keep) {
    return value && keep(*value) ? value : std::nullopt;
}

// The names joined as "a, b or c", or with another last joint.
template <typename Names> std::string Listed(const Names& names, const std::string& last = " or ") {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? last : ", ") + std::string(names[i]);
    return list;
}

// The names of a table's rows that pass keep.
template <typename Rows, typename Keep>
std::vector<std::string_view> NamesWhere(const Rows& rows, Keep keep) {
    std::vector<std::string_view> names;
    for (const auto& row : rows)
        if (keep(row))
            names.push_back(row.name);
    return names;
}

// The names of the formats that pass keep.
template <typename Keep> std::vector<std::string_view> FormatsWhere(Keep keep) {
    return NamesWhere(taplore::ExportFormats(), keep);
}

bool WidthChosen(const ExportFormat& format) {
    return format.width == taplore::ExportWidth::chosen;
}

// The CMSIS formats, whose state buffer is made for a block size.
bool TakesBlock(const ExportFormat& format) {
    return format.name.starts_with("cmsis-");
}

// Every format of the table, those whose width is chosen with their ":B[.F]".
std::string FormatNames() {
    std::vector<std::string> names;
    for (const ExportFormat& format : taplore::ExportFormats())
        names.push_back(std::string(format.name) + (WidthChosen(format) ? "[:B[.F]]" : ""));
    return Listed(names);
}

std::string WidthRefusal(const std::string& text) {
    return Refusal("B or B.F: B bits from 2 to 32, F fraction bits from 0 to 62 (B - 1 when left "
                   "out)",
                   text);
}

// A whole number from 1 to largest.
std::optional<int> Count(const std::string& text, int largest) {
    return If<int>(crt::StrictAtoi(text), [largest](int n) { return n >= 1 && n <= largest; });
}

std::string CountRefusal(int largest, const std::string& text) {
    return Refusal("a whole number from 1 to " + crt::FormatD(largest), text);
}

std::vector<std::string_view> ViewNames() {
    return NamesWhere(taplore::Views(), [](const auto&) { return true; });
}

// The views with their units, for the help.
std::string ViewsWithUnits() {
    std::vector<std::string> names;
    for (const taplore::ViewInfo& view : taplore::Views())
        names.push_back(std::string(view.name) +
                        (view.unit.empty() ? "" : " (" + std::string(view.unit) + ")"));
    return Listed(names);
}

// The texts between the colons.
std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

// LO:HI with two numbers, or LO:HI:GAIN[:WEIGHT] with three or four, each by Atof's rules.
std::optional<std::vector<double>> Fields(const std::string& text) {
    std::vector<double> fields;
    for (std::string_view field : Split(text)) {
        const auto number = crt::StrictAtof(field);
        if (!number)
            return std::nullopt;
        fields.push_back(*number);
    }
    return fields;
}

// GAIN, or G1..G2 for a band sloping from G1 at its low edge to G2 at its high one.
bool ReadGain(std::string_view text, taplore::Band& band) {
    const std::size_t dots = text.find("..");
    const auto gain = crt::StrictAtof(text.substr(0, dots));
    if (!gain)
        return false;
    band.gain = *gain;
    if (dots == std::string_view::npos)
        return true;
    band.endGain = crt::StrictAtof(text.substr(dots + 2));
    return band.endGain.has_value();
}

// A pass or stop band's edges, asking gain there.
std::optional<taplore::Band> Edges(const std::string& text, double gain) {
    const auto fields = Fields(text);
    if (!fields || fields->size() != 2)
        return std::nullopt;
    return taplore::Band{(*fields)[0], (*fields)[1], gain, 1.0};
}

std::optional<taplore::Band> PassBand(const std::string& text) {
    return Edges(text, 1.0);
}

std::optional<taplore::Band> StopBand(const std::string& text) {
    return Edges(text, 0.0);
}

std::optional<taplore::Band> AnyBand(const std::string& text) {
    const std::vector<std::string_view> fields = Split(text);
    if (fields.size() != 3 && fields.size() != 4)
        return std::nullopt;
    const auto low = crt::StrictAtof(fields[0]), high = crt::StrictAtof(fields[1]);
    const auto weight = fields.size() > 3 ? crt::StrictAtof(fields[3]) : std::optional(1.0);
    taplore::Band band{low.value_or(0), high.value_or(0), 0.0, weight.value_or(1)};
    if (!low || !high || !weight || !ReadGain(fields[2], band))
        return std::nullopt;
    return band;
}

// The kinds of antisymmetric taps --kind names.
struct KindName {
    std::string_view name;
    taplore::ResponseKind kind;
};
constexpr std::array<KindName, 2> kKinds = {
    {{"hilbert", taplore::ResponseKind::hilbert},
     {"differentiator", taplore::ResponseKind::differentiator}}};

std::optional<taplore::ResponseKind> KindNamed(const std::string& text) {
    for (const KindName& kind : kKinds)
        if (kind.name == text)
            return kind.kind;
    return std::nullopt;
}

std::vector<std::string_view> KindNames() {
    std::vector<std::string_view> names;
    for (const KindName& kind : kKinds)
        names.push_back(kind.name);
    return names;
}

// A name of the window table, with ":BETA" for the window that takes a parameter.
std::optional<WindowChoice> ParseWindow(const std::string& text) {
    const std::size_t colon = text.find(':');
    const taplore::WindowInfo* window = taplore::FindWindow(text.substr(0, colon));
    if (!window || window->takesParameter != (colon != std::string::npos))
        return std::nullopt;
    if (!window->takesParameter)
        return WindowChoice{window->kind, 0.0};
    const auto beta = crt::StrictAtof(std::string_view(text).substr(colon + 1));
    if (!beta || !(*beta >= 0 && *beta <= taplore::kMaxKaiserBeta))
        return std::nullopt;
    return WindowChoice{window->kind, *beta};
}

std::string WindowNames() {
    std::vector<std::string> names;
    for (const taplore::WindowInfo& window : taplore::Windows())
        names.push_back(std::string(window.name) +
                        (window.takesParameter ? ":BETA (BETA from 0 to 100)" : ""));
    return Listed(names);
}

// A file name, which cannot be empty, into path.
Reader FileNameInto(std::string& path) {
    return [&path](const std::string& text) {
        return Kept(If<std::string>(text, [](const std::string& t) { return !t.empty(); }),
                    Refusal("a file name", text),
                    [&path](const std::string& name) { path = name; });
    };
}

// The cutoffs' range. Half a rate below twice the smallest normal double is rounded, so it is
// named rather than printed.
std::string CutoffRange(double rate) {
    const double half = rate / 2;
    if (half * 2 != rate)
        return "from 0 to half of --rate";
    return "from 0 to " + crt::FormatShortest(half) + " (half of --rate)";
}

// Checked as the designer sees the cutoff, divided by the rate and doubled: from 0 to 1.
void CheckCutoff(const std::string& option, const Given<double>& cutoff, double rate) {
    if (!(cutoff.value >= 0 && NormalisedCutoff(cutoff.value, rate) <= 1))
        throw CLI::ValidationError(option, Refusal(CutoffRange(rate), cutoff.text));
}

// An option that takes a value, with the name of the value in the help and an example of it;
// read reads each text it is given.
CLI::Option* AddValue(CLI::App& app, OptionExamples& examples, const std::string& names,
                      const std::string& help, const std::string& valueName,
                      const std::string& example, Reader read) {
    CLI::Option* option = app.add_option(names, help)->type_name(valueName)->check(read);
    examples.emplace(option->get_name(), example);
    return option;
}

// A value that may be given again and again, each text read in order, as many after one
// name as extra allows.
CLI::Option* AddValues(CLI::App& app, OptionExamples& examples, const std::string& name,
                       const std::string& help, const std::string& valueName,
                       const std::string& example, Reader read, bool extra = false) {
    // The texts are read by the check, one by one, as the option's own values.
    CLI::Option* option = app.add_option_function<std::vector<std::string>>(
                                 name, [](const std::vector<std::string>&) {}, help)
                              ->type_name(valueName)
                              ->check(read)
                              ->allow_extra_args(extra)
                              ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    examples.emplace(option->get_name(), example);
    return option;
}

Reader NumberInto(std::optional<Given<double>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(crt::StrictAtof(text), Refusal("a number", text), text, slot);
    };
}

Reader PositiveNumberInto(std::optional<Given<double>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(
            If<double>(crt::StrictAtof(text), [](double x) { return x > 0 && std::isfinite(x); }),
            Refusal("a positive, finite number", text), text, slot);
    };
}

Reader WholeNumberInto(std::optional<Given<int>>& slot) {
    return [&slot](const std::string& text) {
        return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 1; }),
                      Refusal("a whole number from 1 to 2147483647", text), text, slot);
    };
}

// The dialog's four values and its window, required unless the taps are read from a file (where
// a rate may still be given, for the frequency axes) or designed to requirements (which take
// the rate alone of them).
void DeclareDesignOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValue(app, examples, "--order", "Filter order; the taps are the order made odd", "N", "511",
             WholeNumberInto(request.order));
    AddValue(app, examples, "--rate",
             "Sampling rate in Hz (with --taps-from: for the frequency axes)", "HZ", "8000",
             PositiveNumberInto(request.rate));
    AddValue(app, examples, "--low", "Low cutoff in Hz, 0 to rate/2", "HZ", "400",
             NumberInto(request.low));
    AddValue(app, examples, "--high", "High cutoff in Hz, 0 to rate/2", "HZ", "2400",
             NumberInto(request.high));
    AddValue(app, examples, "--window",
             "The window of the dialog's design: " + WindowNames() +
                 "; hamming, the default, is the dialog's own",
             "NAME", "blackman", [&request](const std::string& text) {
                 return Kept(ParseWindow(text), Refusal("a window: " + WindowNames(), text),
                             [&request](const WindowChoice& w) { request.window = w; });
             });
    AddValue(app, examples, "--taps-from",
             "Read the taps from FILE (- is standard input) instead of designing them: one "
             "number a line, Taplore's CSV or its JSON",
             "FILE", "taps.txt", FileNameInto(request.tapsFrom));
    AddValue(app, examples, "--taps-bits",
             "With --taps-from: the file holds fixed-point integers of B bits, F of them "
             "fraction bits (B - 1 when left out), each read as q / 2^F",
             "B[.F]", "16.15", [&request](const std::string& text) {
                 return Kept(ParseQFormat(text), WidthRefusal(text),
                             [&request](const QFormat& q) { request.tapsBits = q; });
             });
}

// A band option's texts, each read as a band into bands or refused by refusal.
Reader BandsInto(std::vector<BandOption>& bands, const std::string& option,
                 std::optional<taplore::Band> (*read)(const std::string&),
                 std::string (*refusal)(const std::string&)) {
    return [&bands, option, read, refusal](const std::string& text) {
        return Kept(read(text), refusal(text), [&](const taplore::Band& band) {
            bands.push_back({option, text, band});
        });
    };
}

std::string EdgesRefusal(const std::string& text) {
    return Refusal("LO:HI in Hz, as in 0:1000", text);
}

void DeclareRequirementOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    AddValues(app, examples, "--pass",
              "A pass band in Hz, repeatable: the fewest taps that keep --ripple there and "
              "--atten in the stop bands",
              "LO:HI", "0:1000", BandsInto(request.pass, "--pass", PassBand, EdgesRefusal));
    AddValues(app, examples, "--stop", "A stop band in Hz, repeatable", "LO:HI", "1500:4000",
              BandsInto(request.stop, "--stop", StopBand, EdgesRefusal));
    AddValue(app, examples, "--ripple", "Pass-band ripple, peak to peak, in dB", "DB", "0.1",
             NumberInto(request.ripple));
    AddValue(app, examples, "--atten", "Stop-band attenuation below the pass band, in dB", "DB",
             "60", NumberInto(request.atten));
    AddValue(app, examples, "--method",
             "How to design to --pass and --stop: " + taplore::MethodNames() +
                 " (equiripple unless given; a window needs --taps)",
             "METHOD", "kaiser", [&request](const std::string& text) {
                 const taplore::Method* method = taplore::FindMethod(text);
                 return Kept(method ? std::optional(method) : std::nullopt,
                             Refusal(taplore::MethodNames(), text),
                             [&request](const taplore::Method* m) { request.method = m; });
             });
    AddValue(app, examples, "--taps",
             "The length, instead of the fewest taps; required with --band", "N", "101",
             [&request](const std::string& text) {
                 return KeptIn(If<int>(crt::StrictAtoi(text), [](int n) { return n >= 1; }),
                               Refusal("a whole number of taps from 1 to 2147483647", text), text,
                               request.taps);
             });
    AddValues(app, examples, "--band",
              "A band of an equiripple or least-squares design of --taps, repeatable: its edges "
              "in Hz, the gain asked there (G1..G2: from G1 at LO linearly to G2 at HI) and how "
              "much its error weighs (1 unless given)",
              "LO:HI:GAIN[:WEIGHT]", "0:1000:1",
              BandsInto(request.band, "--band", AnyBand, [](const std::string& text) {
                  return Refusal("LO:HI:GAIN or LO:HI:GAIN:WEIGHT, as in 0:1000:1", text);
              }));
    AddValue(app, examples, "--kind",
             "With --band, antisymmetric taps: hilbert (a 90-degree shift of GAIN) or "
             "differentiator (a response of GAIN times the frequency in radians per sample)",
             "KIND", "hilbert", [&request](const std::string& text) {
                 return KeptIn(KindNamed(text), Refusal(Listed(KindNames()), text), text,
                               request.kind);
             });
    AddValue(app, examples, "--phase",
             "With --pass and --stop: linear (the default) or minimum, the same magnitude "
             "from fewer taps with their energy first and less delay",
             "PHASE", "minimum", [&request](const std::string& text) {
                 const bool known = text == "linear" || text == "minimum";
                 return Kept(known ? std::optional(text == "minimum") : std::nullopt,
                             Refusal("linear or minimum", text),
                             [&request](bool minimum) { request.minimumPhase = minimum; });
             });
    app.add_flag("--quiet", request.quiet,
                 "No report of a design to requirements, a pulse or the zeros on standard error");
    AddValue(app, examples, "--design",
             "Design to the requirements and method of the design document FILE; options given "
             "beside it replace its values, and its taps are written where they are what it "
             "asks for",
             "FILE.taplore", "lowpass.taplore", FileNameInto(request.design));
    AddValue(app, examples, "--save-design",
             "Write the design document of the design to requirements to FILE as well; an old "
             "FILE is replaced only once all is written",
             "FILE.taplore", "lowpass.taplore", FileNameInto(request.saveDesign));
    AddValue(app, examples, "--note",
             "With --save-design: the document's note, in place of the one --design read", "TEXT",
             "\"second board\"", [&request](const std::string& text) {
                 request.note = text;
                 return std::string();
             });
}

std::string PulseShapeNames() {
    return Listed(NamesWhere(taplore::PulseShapes(), [](const auto&) { return true; }));
}

std::string PulseGainNames() {
    return Listed(NamesWhere(taplore::PulseGains(), [](const auto&) { return true; }));
}

// The shapes a roll-off shapes (rc, rrc) or a bandwidth-time product (gaussian).
std::string ShapesShapedBy(bool bt) {
    return Listed(NamesWhere(taplore::PulseShapes(), [bt](const taplore::PulseShapeInfo& shape) {
        return shape.bt == bt;
    }));
}

void DeclarePulseOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    std::string shapes;
    for (const taplore::PulseShapeInfo& shape : taplore::PulseShapes())
        shapes += (shapes.empty() ? "" : ", ") + std::string(shape.name) + " (" +
                  std::string(shape.title) + ")";
    AddValue(app, examples, "--pulse",
             "Design a pulse-shaping filter of --span symbols at --sps samples each instead: " +
                 shapes,
             "SHAPE", "rrc", [&request](const std::string& text) {
                 const taplore::PulseShapeInfo* shape = taplore::FindPulseShape(text);
                 return Kept(shape ? std::optional(shape) : std::nullopt,
                             Refusal(PulseShapeNames(), text),
                             [&request](const taplore::PulseShapeInfo* s) { request.pulse = s; });
             });
    AddValue(app, examples, "--span", "The pulse's length in symbols; the taps are span * sps + 1",
             "SYMBOLS", "8", WholeNumberInto(request.span));
    AddValue(app, examples, "--sps", "The pulse's samples per symbol", "SAMPLES", "4",
             WholeNumberInto(request.samplesPerSymbol));
    AddValue(app, examples, "--rolloff",
             "The roll-off of " + ShapesShapedBy(false) + ", from 0 to 1", "A", "0.35",
             [&request](const std::string& text) {
                 return KeptIn(
                     If<double>(crt::StrictAtof(text), [](double a) { return a >= 0 && a <= 1; }),
                     Refusal("a number from 0 to 1", text), text, request.rolloff);
             });
    AddValue(app, examples, "--bt",
             "The bandwidth-time product of " + ShapesShapedBy(true) +
                 ": its -3 dB bandwidth times the symbol period",
             "B", "0.5", PositiveNumberInto(request.bt));
    AddValue(app, examples, "--gain",
             "How the pulse's taps are scaled: " + PulseGainNames() +
                 " (the sum of their squares, their sum or the largest made 1); unit-energy "
                 "for rrc and unit-dc for the others unless given",
             "NAME", "unit-dc", [&request](const std::string& text) {
                 const taplore::PulseGainInfo* gain = taplore::FindPulseGain(text);
                 return Kept(gain ? std::optional(gain->gain) : std::nullopt,
                             Refusal(PulseGainNames(), text),
                             [&request](taplore::PulseGain g) { request.gain = g; });
             });
}

void DeclareOutputOptions(CLI::App& app, Request& request, OptionExamples& examples) {
    std::string formats;
    for (const ExportFormat& format : taplore::ExportFormats())
        formats += (formats.empty() ? "" : "; ") + std::string(format.name) + ": " +
                   std::string(format.summary);
    AddValue(app, examples, "--format", formats, "FORMAT", "c",
             [&request](const std::string& text) {
                 return Kept(taplore::ParseFormatChoice(text), Refusal(FormatNames(), text),
                             [&](const taplore::FormatChoice& choice) {
                                 request.format = choice;
                                 request.formatText = text;
                             });
             });
    AddValue(app, examples, "--bits",
             "The width of " + Listed(FormatsWhere(WidthChosen), " and ") +
                 ": B bits, F of them fraction bits (B - 1 when left out); 16.15 unless given",
             "B[.F]", "18", [&request](const std::string& text) {
                 return KeptIn(ParseQFormat(text), WidthRefusal(text), text, request.bits);
             });
    AddValue(app, examples, "--block",
             "The block size the CMSIS formats' state buffer is made for; 32 unless given", "N",
             "64", [&request](const std::string& text) {
                 return KeptIn(Count(text, taplore::kMaxBlockSize),
                               CountRefusal(taplore::kMaxBlockSize, text), text, request.block);
             });
    AddValues(
        app, examples, "--view",
        "Write these views instead of the taps (repeat for more): " + ViewsWithUnits() +
            "; with --plot, the image stacks them. zeros, given alone, writes one \"re im\" a "
            "line, "
            "by angle, and with --plot draws the z-plane",
        "NAME", "phase",
        [&request](const std::string& text) {
            return Kept(taplore::ViewNamed(text), Refusal(Listed(ViewNames()), text),
                        [&request](taplore::View view) { request.views.push_back(view); });
        },
        true);
    AddValue(app, examples, "--points",
             "Frequency points of the views, from 0 up to below half the rate; 512 unless "
             "given",
             "N", "4096", [&request](const std::string& text) {
                 const int most = taplore::FrequencyGrid::kMaxPoints;
                 return Kept(Count(text, most), CountRefusal(most, text), [&](int points) {
                     request.points = {points, text};
                 });
             });
    app.add_flag("--response", request.response,
                 "Write the response instead: Hz and dB of 512 bins (orders up to 1023); with a "
                 "Q format, the quantised filter's dB in a third column");
    AddValue(app, examples, "-o,--output",
             "Write to FILE instead of standard output (- is standard output); an old FILE is "
             "replaced only once all is written",
             "FILE", "taps.txt", FileNameInto(request.output));
    AddValue(app, examples, "--plot",
             "Write the log-magnitude response as an SVG image to FILE (- is standard output; "
             "orders up to 1023); the taps are then written only when --format, --response or "
             "-o asks for them",
             "FILE.svg", "response.svg", FileNameInto(request.plot));
}

bool IsGiven(const CLI::App& app, const std::string& name) {
    return app.get_option(name)->count() > 0;
}

// The first text given to the option, for a refusal to quote.
std::string FirstText(const CLI::App& app, const std::string& name) {
    const auto& results = app.get_option(name)->results();
    return results.empty() ? std::string() : results.front();
}

// Each of names must be left out: refused with the reason when given.
void Refuse(const CLI::App& app, std::initializer_list<const char*> names,
            const std::string& expected) {
    for (const char* name : names)
        if (IsGiven(app, name))
            throw CLI::ValidationError(name, Refusal(expected, FirstText(app, name)));
}

void Require(const CLI::App& app, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (!IsGiven(app, name))
            throw CLI::RequiredError(name);
}

// A design to requirements: pass and stop bands with their tolerances, or bands of any gain
// with a length, and the rate; none of the dialog's values.
void CheckRequirements(const CLI::App& app, const Request& request) {
    Refuse(app, {"--order", "--low", "--high", "--window", "--taps-from", "--taps-bits"},
           "left out of a design to requirements");
    if (!request.design.empty()) {
        if (ToStandardOutput(request.design))
            throw CLI::ValidationError("--design",
                                       Refusal("a file name, not standard input", request.design));
        // The document has the rest; what the options change in it is checked with it.
        if (!request.band.empty())
            Refuse(app, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
        return;
    }
    Require(app, {"--rate"});
    if (request.band.empty()) {
        Refuse(app, {"--kind"}, "given with --band");
        Require(app, {"--ripple", "--atten"});
        // A method without a search designs the length it is given.
        if (!request.method->Searches())
            Require(app, {"--taps"});
        return;
    }
    Refuse(app, {"--pass", "--stop", "--ripple", "--atten"}, "left out with --band");
    if (request.minimumPhase)
        throw CLI::ValidationError("--phase",
                                   Refusal("linear with --band, whose bands have no tolerances "
                                           "for a minimum-phase design to keep",
                                           "minimum"));
    Require(app, {"--taps"});
    if (!request.method->bands)
        throw CLI::ValidationError("--method",
                                   Refusal(taplore::MethodNames([](const taplore::Method& m) {
                                               return m.bands;
                                           }) + " with --band",
                                           std::string(request.method->name)));
}

// A pulse: its span and samples, and the one shaping value its shape takes; nothing of the
// other designs.
void CheckPulse(const CLI::App& app, const Request& request) {
    Refuse(app,
           {"--order", "--low", "--high", "--window", "--taps-from", "--taps-bits", "--pass",
            "--stop", "--band", "--design", "--ripple", "--atten", "--taps", "--method", "--kind",
            "--phase"},
           "left out with --pulse");
    Require(app, {"--span", "--sps"});
    const bool bt = request.pulse->bt;
    Refuse(app, {bt ? "--rolloff" : "--bt"}, "given with --pulse " + ShapesShapedBy(!bt));
    Require(app, {bt ? "--bt" : "--rolloff"});
}

// Without --taps-from the four design values are required, in the order the help lists them;
// with it, a design's order and cutoffs have nothing to design.
void CheckTapsSource(const CLI::App& app, const Request& request) {
    const bool readBack = !request.tapsFrom.empty();
    for (const char* name : {"--order", "--rate", "--low", "--high"}) {
        const bool given = IsGiven(app, name);
        if (!readBack && !given)
            throw CLI::RequiredError(name);
        if (readBack && given && std::string_view(name) != "--rate")
            throw CLI::ValidationError(name, "must be left out with --taps-from, which reads "
                                             "the taps instead of designing them");
    }
    if (!readBack && request.tapsBits)
        throw CLI::ValidationError("--taps-bits",
                                   Refusal("given with --taps-from, which reads the integers",
                                           FirstText(app, "--taps-bits")));
}

// Each of --bits and --block only with a format that takes it; the views instead of --response.
void CheckFormatOptions(const Request& request) {
    const taplore::FormatChoice& choice = request.format;
    if (request.bits && !WidthChosen(*choice.format))
        throw CLI::ValidationError("--bits",
                                   Refusal("given with a format whose width is chosen (" +
                                               Listed(FormatsWhere(WidthChosen), ", ") + ")",
                                           request.bits->text));
    if (request.bits && choice.width)
        throw CLI::ValidationError(
            "--bits", Refusal("left out when --format names the width", request.bits->text));
    if (request.block && !TakesBlock(*choice.format))
        throw CLI::ValidationError(
            "--block",
            Refusal("given with a CMSIS format (" + Listed(FormatsWhere(TakesBlock), ", ") + ")",
                    request.block->text));
    if (request.views.size() > 1 &&
        std::ranges::find(request.views, taplore::View::zeros) != request.views.end())
        throw CLI::ValidationError("--view", Refusal("given alone for the zeros, which are a list "
                                                     "and a z-plane of their own",
                                                     "zeros"));
    if (request.response && !request.views.empty())
        throw CLI::ValidationError("--response", "must be left out with --view, which "
                                                 "chooses the views written instead");
}

// --points only beside the views it sets the grid of, and only as many as the free memory
// holds, told before any work.
void CheckViewPoints(const CLI::App& app, const Request& request) {
    if (!IsGiven(app, "--points"))
        return;
    if (request.views.empty())
        throw CLI::ValidationError("--points", Refusal("given with --view", request.points.text));
    if (request.ZerosAsked())
        throw CLI::ValidationError(
            "--points", Refusal("given with a view of the response", request.points.text));
    const int most = taplore::MostViewPoints();
    if (request.points.value > most)
        throw CLI::ValidationError(
            "--points",
            Refusal("at most " + crt::FormatD(most) + " for the free memory", request.points.text));
}

// Whether two names reach one file: the same file where both exist, the same path where not.
bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(fs::u8path(a), fs::u8path(b), error))
        return true;
    const fs::path first = fs::weakly_canonical(fs::absolute(fs::u8path(a), error), error);
    const fs::path second = fs::weakly_canonical(fs::absolute(fs::u8path(b), error), error);
    return !error && first == second;
}

// The document written is a file of its own, besides -o's and --plot's, and needs a design to
// requirements to describe.
void CheckSaveDesign(const CLI::App& app, const Request& request) {
    if (!request.ToRequirements())
        Refuse(app, {"--save-design"},
               "given with a design to requirements (--pass and --stop, "
               "--band or --design)");
    if (request.saveDesign.empty())
        Refuse(app, {"--note"}, "given with --save-design");
    if (request.saveDesign.empty())
        return;
    if (ToStandardOutput(request.saveDesign))
        throw CLI::ValidationError("--save-design",
                                   Refusal("a file name, not standard output", request.saveDesign));
    if (request.minimumPhase)
        throw CLI::ValidationError("--save-design",
                                   Refusal("left out with --phase minimum: a design document "
                                           "holds linear-phase designs",
                                           request.saveDesign));
    // A document holds one gain a band: a slope saved there would be lost.
    for (const BandOption& band : request.band)
        if (band.band.endGain)
            throw CLI::ValidationError("--save-design",
                                       Refusal("left out with a sloped band (" + Echoed(band.text) +
                                                   "): a design document holds one gain a band",
                                               request.saveDesign));
    for (const std::string* other : {&request.output, &request.plot})
        if (!ToStandardOutput(*other) && SameFile(request.saveDesign, *other))
            throw CLI::ValidationError(
                "--save-design",
                Refusal("another file than -o's and --plot's", request.saveDesign));
}

// The outputs: the text only where asked beside --plot, and never where the image goes.
void CheckOutputs(const CLI::App& app, Request& request) {
    if (request.response && IsGiven(app, "--format") && !request.Width())
        throw CLI::ValidationError("--response",
                                   Refusal("alone or with a format that has a width (such "
                                           "as q15 or coe) as --format",
                                           request.formatText));
    request.textAsked = request.plot.empty() || IsGiven(app, "--format") ||
                        IsGiven(app, "--response") || IsGiven(app, "--output");
    if (request.textAsked && ToStandardOutput(request.output) && request.plot == "-")
        throw CLI::ValidationError(
            "--plot", Refusal("a file when the text goes to standard output", request.plot));
    if (request.textAsked && !ToStandardOutput(request.output) && !ToStandardOutput(request.plot) &&
        SameFile(request.output, request.plot))
        throw CLI::ValidationError("--plot", Refusal("another file than -o's", request.plot));
}

// The dialog's design, taps read back or a design to requirements: no pulse options.
void CheckDesign(const CLI::App& app, const Request& request) {
    Refuse(app, {"--span", "--sps", "--rolloff", "--bt", "--gain"}, "given with --pulse");
    if (request.ToRequirements()) {
        CheckRequirements(app, request);
        return;
    }
    Refuse(app, {"--ripple", "--atten", "--taps", "--method", "--kind", "--phase"},
           "given with --pass and --stop, or --band");
    if (!request.tapsFrom.empty())
        Refuse(app, {"--window"}, "left out with --taps-from");
    CheckTapsSource(app, request);
    if (request.tapsFrom.empty()) {
        CheckCutoff("--low", *request.low, request.rate->value);
        CheckCutoff("--high", *request.high, request.rate->value);
    }
}

// The checks that join options, once every option has been read.
void CheckTogether(const CLI::App& app, Request& request) {
    if (request.pulse)
        CheckPulse(app, request);
    else
        CheckDesign(app, request);
    request.methodGiven = IsGiven(app, "--method");
    CheckSaveDesign(app, request);
    CheckFormatOptions(request);
    CheckViewPoints(app, request);
    CheckOutputs(app, request);
}

} // namespace

OptionExamples DeclareOptions(CLI::App& app, Request& request) {
    OptionExamples examples;
    DeclareDesignOptions(app, request, examples);
    DeclareRequirementOptions(app, request, examples);
    DeclarePulseOptions(app, request, examples);
    DeclareOutputOptions(app, request, examples);
    app.set_version_flag("--version", std::string(kProgram) + " " + kTaploreVersion);
    app.footer("Exit status: 0 written, 1 design or output failed, 2 arguments refused.");
    app.callback([&app, &request] { CheckTogether(app, request); });
    return examples;
}
