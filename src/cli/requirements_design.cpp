#include "cli/requirements_design.h"

#include "core/design/requirements_design.h"
#include "core/formats/crt.h"
#include "core/formats/requirements_report.h"
#include "core/formats/response_plot.h"

#include <algorithm>

namespace {

using namespace taplore;

// A band as the options gave it, for the messages that name it.
struct GivenBand {
    std::string option; // --pass, --stop or --band
    std::string text;
    Band band;
};

// The bands of all the options, in increasing frequency.
std::vector<GivenBand> GivenBands(const Options& options) {
    std::vector<GivenBand> bands;
    for (const std::string& text : options.pass)
        bands.push_back({"--pass", text, {FieldsOf(text)[0], FieldsOf(text)[1], 1.0, 1.0}});
    for (const std::string& text : options.stop)
        bands.push_back({"--stop", text, {FieldsOf(text)[0], FieldsOf(text)[1], 0.0, 1.0}});
    for (const std::string& text : options.band) {
        const std::vector<double> f = FieldsOf(text);
        bands.push_back({"--band", text, {f[0], f[1], f[2], f.size() > 3 ? f[3] : 1.0}});
    }
    std::stable_sort(bands.begin(), bands.end(), [](const GivenBand& a, const GivenBand& b) {
        return a.band.lowHz < b.band.lowHz;
    });
    return bands;
}

double NumberOr(const std::string& text, double otherwise) {
    return text.empty() ? otherwise : *crt::StrictAtof(text);
}

ResponseKind KindOf(const std::string& kind) {
    if (kind == "hilbert")
        return ResponseKind::hilbert;
    return kind == "differentiator" ? ResponseKind::differentiator : ResponseKind::ordinary;
}

Requirements RequirementsOf(const Options& options, const std::vector<GivenBand>& bands) {
    Requirements r;
    r.rate = *crt::StrictAtof(options.rate);
    for (const GivenBand& given : bands)
        r.bands.push_back(given.band);
    r.rippleDb = NumberOr(options.ripple, 0.0);
    r.attenuationDb = NumberOr(options.atten, 0.0);
    r.kind = KindOf(options.kind);
    return r;
}

// The option a problem lies in, as it was given.
std::string Where(const RequirementsProblem& problem, const std::vector<GivenBand>& bands,
                  const Options& options) {
    switch (problem.part) {
    case RequirementsPart::rate:
        return "--rate " + options.rate;
    case RequirementsPart::ripple:
        return "--ripple " + options.ripple;
    case RequirementsPart::attenuation:
        return "--atten " + options.atten;
    case RequirementsPart::kind:
        return "--kind " + options.kind;
    case RequirementsPart::taps:
        return "--taps " + options.taps;
    case RequirementsPart::band:
        break;
    }
    if (problem.band < 0)
        return options.band.empty() ? "--pass" : "--band";
    return bands[problem.band].option + " " + bands[problem.band].text;
}

// Every band option as given, for a refusal of them all: "--pass 0:1000 --stop 1500:4000".
std::string AllBands(const std::vector<GivenBand>& bands) {
    std::string text;
    for (const GivenBand& given : bands)
        text += (text.empty() ? "" : " ") + given.option + " " + given.text;
    return text;
}

// The report as one block on standard error.
void Show(Console& console, const TapsDescription& report) {
    console.progress.Erase();
    console.err << report.title << '\n';
    for (const std::string& line : report.notes)
        console.err << line << '\n';
}

} // namespace

int DesignToRequirements(Console& console, const Options& options, Design& design) {
    const std::vector<GivenBand> bands = GivenBands(options);
    const Requirements r = RequirementsOf(options, bands);
    const bool withBands = !options.band.empty();
    auto problem = withBands ? CheckBands(r) : CheckTolerances(r);
    if (!problem && !options.taps.empty())
        problem = SymmetryProblem(r, *crt::StrictAtoi(options.taps));
    if (problem)
        return Report(console, kRefused, Where(*problem, bands, options) + ": " + problem->text);

    const Progress progress = console.progress.Stage("designing");
    const Method& method = *FindMethod(options.method);
    const int taps = options.taps.empty() ? 0 : *crt::StrictAtoi(options.taps);
    RequirementsDesign outcome = withBands ? DesignBands(r, method, taps, progress)
                                           : DesignToTolerances(r, method, taps, progress);
    if (outcome.status == DesignStatus::refused)
        return Report(console, kRefused,
                      (options.taps.empty() ? AllBands(bands) : "--taps " + options.taps) + ": " +
                          outcome.message);
    if (!HasTaps(outcome.status))
        return Report(console, kFailed, "Designing to the requirements failed: " + outcome.message);

    design.description = DescribeReport(outcome.report);
    if (!options.quiet)
        Show(console, design.description);
    design.count = static_cast<int>(outcome.taps.size());
    design.taps = std::shared_ptr<double[]>(new double[design.count]);
    std::copy(outcome.taps.begin(), outcome.taps.end(), design.taps.get());
    design.responsePoints = ResponsePoints(design.count);
    design.required = RequiredBands(outcome.report);
    if (outcome.report.tolerances)
        design.report = outcome.report;
    return kDone;
}
