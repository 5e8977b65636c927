#include "cli/requirements_design.h"

#include "cli/nyquist_design.h"
#include "core/design/minimum_phase.h"
#include "core/design/nyquist.h"
#include "core/design/requirements_design.h"
#include "core/dialog/readings.h"
#include "core/document/design_document.h"
#include "core/document/nyquist_bands.h"
#include "core/formats/crt.h"
#include "core/formats/requirements_report.h"
#include "core/formats/response_plot.h"
#include "core/io/file_input.h"
#include "core/io/file_output.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

using namespace taplore;

// "1st", "2nd", "3rd", "4th", ..., "11th", "12th", "13th", ..., "21st".
std::string Ordinal(int n) {
    const int tens = n % 100, units = n % 10;
    const char* suffix = "th";
    if (tens < 11 || tens > 13)
        suffix = units == 1 ? "st" : units == 2 ? "nd" : units == 3 ? "rd" : "th";
    return std::to_string(n) + suffix;
}

// "designing 13,400 taps, 3rd of about 5 designs"
std::string SearchStepText(const SearchStep& step) {
    return "designing " + ReadingText(step.taps, 1.0, "") + " taps, " + Ordinal(step.design) +
           " of about " + std::to_string(step.aboutDesigns) + " designs";
}

// What is designed, and where each of its values was given: an option as the user typed it
// ("--pass 0:1000") or a member of the document ("lowpass.taplore: bands[1]").
struct Asked {
    DesignDocument document;
    std::string file; // the document read, or empty
    std::vector<std::string> bands;
    // All the bands, as one; where "no band" or "no pass band" lies.
    std::string allBands, anyBand;
    std::string rate, ripple, attenuation, kind, method, length;
    bool changed = false; // an option replaced a value the document's taps were designed to
};

std::string Member(const Asked& asked, const std::string& name) {
    return asked.file + ": " + name;
}

// The document's values, each named as its member.
Asked FromDocument(const std::string& file, DesignDocument document) {
    Asked asked;
    asked.document = std::move(document);
    asked.file = file;
    for (std::size_t i = 0; i < asked.document.requirements.bands.size(); ++i)
        asked.bands.push_back(Member(asked, "bands[" + std::to_string(i) + "]"));
    asked.allBands = asked.anyBand = Member(asked, "bands");
    asked.rate = Member(asked, "rate_hz");
    asked.ripple = Member(asked, "ripple_db");
    asked.attenuation = Member(asked, "attenuation_db");
    asked.kind = Member(asked, "method.response");
    asked.method = Member(asked, "method.name");
    asked.length = Member(asked, "method.length");
    return asked;
}

void ReplaceBands(const Request& request, Asked& asked) {
    const std::vector<BandOption> given = request.Bands();
    if (given.empty())
        return;
    Requirements& r = asked.document.requirements;
    r.bands.clear();
    asked.bands.clear();
    asked.allBands.clear();
    for (const BandOption& band : given) {
        r.bands.push_back(band.band);
        asked.bands.push_back(band.option + " " + band.text);
        asked.allBands += (asked.allBands.empty() ? "" : " ") + asked.bands.back();
    }
    asked.anyBand = request.band.empty() ? "--pass" : "--band";
    asked.document.tolerances = request.band.empty();
    asked.document.unknownBands.clear();
    asked.changed = true;
}

// Sets value from an option where it was given, naming the option as its source.
template <typename Value, typename T>
void Replace(const std::string& name, const std::optional<Given<T>>& given, Value& value,
             std::string& source, bool& changed) {
    if (!given)
        return;
    value = given->value;
    source = name + " " + given->text;
    changed = true;
}

// The values the options give, in place of the document's.
void ApplyOptions(const Request& request, Asked& asked) {
    Requirements& r = asked.document.requirements;
    ReplaceBands(request, asked);
    Replace("--rate", request.rate, r.rate, asked.rate, asked.changed);
    Replace("--ripple", request.ripple, r.rippleDb, asked.ripple, asked.changed);
    Replace("--atten", request.atten, r.attenuationDb, asked.attenuation, asked.changed);
    Replace("--kind", request.kind, r.kind, asked.kind, asked.changed);
    Replace("--taps", request.taps, asked.document.length, asked.length, asked.changed);
    if (request.methodGiven || asked.file.empty()) {
        const Given<const Method*> method{request.method, std::string(request.method->name)};
        Replace("--method", std::optional(method), asked.document.method, asked.method,
                asked.changed);
    }
    if (request.phaseGiven && request.minimumPhase != asked.document.minimumPhase) {
        asked.document.minimumPhase = request.minimumPhase;
        asked.changed = true;
    }
    if (request.note)
        asked.document.note = *request.note;
    // The taps were designed to other values: the design made here is the one written.
    if (asked.changed)
        asked.document.taps.clear();
}

// Where a problem lies, as it was given.
std::string Where(const DocumentProblem& problem, const Asked& asked) {
    switch (problem.field) {
    case DocumentField::rate:
        return asked.rate;
    case DocumentField::ripple:
        return asked.ripple;
    case DocumentField::attenuation:
        return asked.attenuation;
    case DocumentField::response:
        return asked.kind;
    case DocumentField::method:
        return asked.method;
    case DocumentField::length:
        return asked.length;
    case DocumentField::taps:
    case DocumentField::nyquist:
    case DocumentField::pulse:
        return Member(asked, FieldName(problem));
    // Minimum phase is refused for bands that have no tolerances to keep.
    case DocumentField::phase:
    case DocumentField::band:
        break;
    }
    return problem.index >= 0 ? asked.bands[problem.index] : asked.anyBand;
}

// The document's taps where they are what it asks for but a design made here differs (another
// version, another machine): they are what was saved, so they are what is written.
void KeepSavedTaps(Console& console, const Asked& asked, RequirementsDesign& outcome) {
    const std::vector<double>& saved = asked.document.taps;
    // Bit for bit: -0 and 0 are written differently.
    if (saved.empty() || std::equal(saved.begin(), saved.end(), outcome.taps.begin(),
                                    outcome.taps.end(), [](double a, double b) {
                                        return std::bit_cast<std::uint64_t>(a) ==
                                               std::bit_cast<std::uint64_t>(b);
                                    }))
        return;
    std::string how;
    if (saved.size() != outcome.taps.size()) {
        how = "it has " + std::to_string(outcome.taps.size()) + " taps, not " +
              std::to_string(saved.size());
    } else {
        std::size_t worst = 0;
        for (std::size_t i = 0; i < saved.size(); ++i)
            if (std::abs(saved[i] - outcome.taps[i]) > std::abs(saved[worst] - outcome.taps[worst]))
                worst = i;
        how = "by up to " + crt::FormatG(std::abs(saved[worst] - outcome.taps[worst]), 3) +
              " (tap " + std::to_string(worst) + ")";
    }
    Warn(console, "warning: a new design would differ from the taps in " + asked.file + ": " + how +
                      "; the output holds the document's taps");
    outcome.taps = saved;
    if (outcome.report.taps != static_cast<int>(saved.size()))
        outcome.report.shorter.clear();
    outcome.report.taps = static_cast<int>(saved.size());
    MeasureReport(saved, outcome.report);
}

// What the options ask for, the document of --design first where it is given. Returns kDone,
// kFailed after saying why the document cannot be read, or kRefused after naming a tolerance
// given for bands of any gain.
int ReadAsked(Console& console, const Request& request, Asked& asked) {
    if (!request.design.empty()) {
        console.progress.Enter("reading");
        try {
            asked = FromDocument(request.design, LoadDocument(request.design));
        } catch (const CFileException& e) {
            return Report(console, kFailed, e.Message());
        } catch (const InputRefused& e) {
            return Report(console, kFailed, request.design + ": " + e.what());
        } catch (const DocumentError& e) {
            return Report(console, kFailed, request.design + ": " + e.what());
        }
    }
    ApplyOptions(request, asked);
    if (!asked.document.tolerances && (request.ripple || request.atten))
        return Report(console, kRefused,
                      (request.ripple ? asked.ripple : asked.attenuation) +
                          ": ripple and attenuation apply to pass and stop bands, not to "
                          "bands of any gain");
    return kDone;
}

// The design the document asks for, options applied: minimum phase, the fewest taps that keep
// the tolerances, or the given bands of a length.
RequirementsDesign Designed(Console& console, const Request& request,
                            const DesignDocument& document,
                            std::optional<MinimumPhaseReport>& phase) {
    const Progress progress = console.progress.Stage("designing");
    const Requirements& r = document.requirements;
    if (document.minimumPhase) {
        MinimumPhaseDesign minimum =
            DesignMinimumPhase(r, *document.method, document.length, progress);
        phase = minimum.phase;
        return std::move(minimum.design);
    }
    if (request.nyquist)
        return DesignNyquistBand(request, r, progress);
    // The requirements window's L-th band, its bands checked as the window checks them.
    if (document.nyquist > 0)
        return DesignFewestNyquistTaps(NyquistOf(r, document.nyquist), document.nyquist,
                                       *document.method, progress);
    if (!document.tolerances)
        return DesignBands(r, *document.method, document.length, progress);
    return DesignToTolerances(
        r, *document.method, document.length, progress,
        [&console](const SearchStep& step) { console.progress.Describe(SearchStepText(step)); });
}

} // namespace

int DesignToRequirements(Console& console, const Request& request, Design& design) {
    Asked asked;
    if (const int status = ReadAsked(console, request, asked); status != kDone)
        return status;
    DesignDocument& document = asked.document;
    if (const auto problem = CheckDocument(document))
        return Report(console, kRefused, Where(*problem, asked) + ": " + problem->text);
    // Designs the command line takes from options of their own, not from a document's bands.
    if (document.pulse)
        return Report(console, kRefused,
                      Member(asked, "pulse") + ": a pulse is designed with --pulse, not --design");
    if (document.cic)
        return Report(console, kRefused,
                      Member(asked, "cic") + ": a CIC compensator is designed with --cic " +
                          CicText(*document.cic) + ", not --design");
    if (document.rateChange)
        return Report(console, kRefused,
                      Member(asked, "rate_change") +
                          ": a rate change is designed with --decimate or --interpolate and "
                          "--stages, not --design");
    std::optional<MinimumPhaseReport> phase;
    RequirementsDesign outcome = Designed(console, request, document, phase);
    console.progress.Describe("");
    if (outcome.status == DesignStatus::refused)
        return Report(console, kRefused,
                      (document.length == 0 ? asked.allBands : asked.length) + ": " +
                          outcome.message);
    if (!HasTaps(outcome.status))
        return Report(console, kFailed, "Designing to the requirements failed: " + outcome.message);
    KeepSavedTaps(console, asked, outcome);

    design.description = DescribeReport(outcome.report);
    design.phase = phase;
    if (phase)
        DescribePhase(*phase, design.description);
    if (!request.quiet)
        ShowReport(console, design.description);
    design.SetTaps(outcome.taps);
    design.required = RequiredBands(outcome.report);
    if (outcome.report.tolerances)
        design.report = outcome.report;
    if (!request.saveDesign.empty()) {
        document.taps = std::move(outcome.taps);
        document.report = std::move(outcome.report);
        design.document = WriteDocument(document);
    }
    return kDone;
}
