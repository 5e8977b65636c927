#include "cli/multirate_design.h"

#include "cli/polyphase_output.h"

#include "core/formats/crt.h"
#include "core/formats/exports/export.h"
#include "core/formats/multirate_report.h"
#include "core/formats/response_plot.h"
#include "core/formats/written_plan.h"

namespace {

using namespace taplore;

RateChangeAsk AskOf(const Request& request) {
    RateChangeAsk ask;
    ask.change = request.decimate ? RateChange::decimate : RateChange::interpolate;
    ask.factor = (request.decimate ? request.decimate : request.interpolate)->value;
    ask.rate = request.rate->value;
    ask.passHz = request.pass.front().band.highHz;
    ask.rippleDb = request.ripple->value;
    ask.attenuationDb = request.atten->value;
    ask.alias = request.alias;
    ask.method = request.method;
    return ask;
}

// The tolerances, checked as one stage's requirements: the option they came from names a
// problem.
std::optional<std::string> ToleranceProblem(const Request& request, const RateChangeAsk& ask) {
    const auto problem = CheckTolerances(StageRequirements(ask, {ask.factor, ask.rate}, 1));
    if (!problem)
        return std::nullopt;
    const std::string where =
        problem->part == RequirementsPart::ripple        ? "--ripple " + request.ripple->text
        : problem->part == RequirementsPart::attenuation ? "--atten " + request.atten->text
                                                         : "--pass " + request.pass.front().text;
    return where + ": " + problem->text;
}

void Fill(const MultirateDesign& multirate, Design& design) {
    design.description = DescribeMultirate(multirate);
    const RequirementsDesign& first = multirate.stages.front().design;
    design.SetTaps(first.taps);
    design.required = RequiredBands(first.report);
    design.multirate = std::make_shared<const MultirateDesign>(multirate);
}

// The tolerances as the options give them.
AskedTolerances AskedOf(const Request& request) {
    return {request.ripple->value, request.atten->value, request.ripple->text, request.atten->text};
}

} // namespace

void WarnOfWrittenCascade(Console& console, const Request& request, const Design& design,
                          const std::vector<const FixedPointTaps*>& quantised) {
    const std::string missed =
        design.cic
            ? CompensatorShortfall(*design.cic,
                                   {design.taps.get(), static_cast<std::size_t>(design.count)},
                                   *request.format.format, quantised.front(), AskedOf(request))
            : CascadeShortfall(
                  *design.multirate,
                  WrittenCascadeFigures(*design.multirate, *request.format.format, quantised),
                  AskedOf(request));
    if (!missed.empty())
        Warn(console, "warning: the taps as --format " + std::string(request.format.format->name) +
                          " writes them miss the requirements: " + missed +
                          "; --format full keeps every digit");
}

std::string StagePath(const std::string& path, int number) {
    const std::string stage = ".stage" + std::to_string(number);
    const std::size_t name = path.find_last_of("/\\");
    const std::size_t start = name == std::string::npos ? 0 : name + 1;
    const std::size_t dot = path.rfind('.');
    // A name's leading dot (".taps") starts no extension.
    if (dot == std::string::npos || dot <= start)
        return path + stage;
    return path.substr(0, dot) + stage + path.substr(dot);
}

int DesignRateChange(Console& console, const Request& request, Design& design) {
    const RateChangeAsk ask = AskOf(request);
    if (const auto problem = ToleranceProblem(request, ask))
        return Report(console, kRefused, *problem);
    const StagesAsk stages = request.stages ? request.stages->value : StagesAsk{};
    const MultirateDesign multirate =
        DesignMultirate(ask, stages, console.progress.Stage("designing"));
    // The options' checks leave the plan alone to be refused.
    if (multirate.status == DesignStatus::refused)
        return Report(
            console, kRefused,
            (request.stages ? "--stages " + request.stages->text : std::string("--pass")) + ": " +
                multirate.message);
    if (!HasTaps(multirate.status))
        return Report(console, kFailed, "Designing the rate change failed: " + multirate.message);
    Fill(multirate, design);
    if (!request.quiet)
        ShowReport(console, design.description);
    if (!multirate.cascade.met)
        Warn(console, "warning: the cascade misses the requirements, as measured");
    return kDone;
}

namespace {

const FixedPointTaps* Pointer(const std::optional<FixedPointTaps>& taps) {
    return taps ? &*taps : nullptr;
}

// "wrote taps.stage1.txt taps.stage2.txt", unless --quiet.
void TellWritten(Console& console, const Request& request, const std::string& line) {
    if (!request.quiet)
        ShowReport(console, {line, {}, 0.0});
}

// Every stage in one text of a format that holds a plan, to -o's file or standard output.
int WriteCascade(Console& console, const Request& request, const Design& design,
                 const std::vector<std::optional<FixedPointTaps>>& quantised) {
    const auto& stages = design.multirate->stages;
    const std::vector<ExportStage> written = ExportStages(*design.multirate, quantised);
    const std::string text =
        request.format.format->writeCascade({design.description, written, request.Block()});
    const int status = Deliver(console, {{&text, request.output}});
    if (status == kDone)
        TellWritten(console, request,
                    "wrote the " + std::to_string(stages.size()) + " stages to " +
                        (ToStandardOutput(request.output) ? std::string("standard output")
                                                          : request.output));
    return status;
}

// Each stage in a file of its own, its description naming the stage.
int WriteFileAStage(Console& console, const Request& request, const Design& design,
                    const std::vector<std::optional<FixedPointTaps>>& quantised) {
    const ExportFormat& format = *request.format.format;
    const MultirateDesign& multirate = *design.multirate;
    const int count = static_cast<int>(multirate.stages.size());
    std::vector<std::string> texts, paths;
    for (int i = 0; i < count; ++i) {
        const Stage& stage = multirate.stages[i];
        TapsDescription description = design.description;
        description.title = "stage " + std::to_string(i + 1) + " of " + std::to_string(count) +
                            " (" + crt::FormatD(stage.spot.factor) + " at " +
                            crt::FormatShortest(stage.spot.rate) + " Hz) of " + description.title;
        description.rate = stage.spot.rate;
        try {
            texts.push_back(format.write(
                {stage.design.taps, Pointer(quantised[i]), description, request.Block(),
                 StageRateFactor(request, stage.spot.factor), request.Arithmetic()}));
        } catch (const ExportRefused& e) {
            return Report(console, kFailed, e.what());
        }
        paths.push_back(StagePath(request.output, i + 1));
    }
    std::vector<std::pair<const std::string*, std::string>> outputs;
    for (int i = 0; i < count; ++i)
        outputs.emplace_back(&texts[i], paths[i]);
    const int status = Deliver(console, outputs);
    if (status != kDone)
        return status;
    std::string line = "wrote";
    for (const std::string& path : paths)
        line += " " + path;
    TellWritten(console, request, line);
    return kDone;
}

} // namespace

int WriteStages(Console& console, const Request& request, const Design& design) {
    if (const int status = CheckDecimatorBlock(console, request, design); status != kDone)
        return status;
    std::vector<std::optional<FixedPointTaps>> quantised;
    try {
        quantised = QuantisedStages(*design.multirate, request.Width());
    } catch (const NoFixedPointForm& e) {
        return Report(console, kFailed, e.what());
    }
    WarnOfWrittenCascade(console, request, design, QuantisedPointers(quantised));
    return request.format.format->writeCascade
               ? WriteCascade(console, request, design, quantised)
               : WriteFileAStage(console, request, design, quantised);
}
