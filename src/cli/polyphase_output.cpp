#include "cli/polyphase_output.h"

#include "cli/option_values.h"
#include "core/formats/crt.h"
#include "core/formats/exports/export.h"
#include "core/multirate/stage_plan.h"

#include <CLI/CLI.hpp>

std::optional<taplore::RateFactor> StageRateFactor(const Request& request, int factor) {
    if (!request.ChangesRate())
        return std::nullopt;
    return taplore::RateFactor{request.decimate.has_value(), factor};
}

std::optional<taplore::RateFactor> DesignRateFactor(const Request& request, const Design& design) {
    if (design.multirate)
        return StageRateFactor(request, design.multirate->stages.front().spot.factor);
    // A CIC compensator makes --decimate's change itself.
    return request.decimate ? StageRateFactor(request, request.decimate->value) : std::nullopt;
}

void CheckRateChangeFormat(const Request& request) {
    const taplore::ExportFormat& format = *request.format.format;
    if (!format.takesRateChange)
        return;
    const bool decimates = format.name.starts_with("cmsis-decimate");
    if (decimates ? !request.decimate : !request.interpolate)
        throw CLI::ValidationError(
            "--format",
            option_values::Refusal(decimates ? "given with --decimate" : "given with --interpolate",
                                   std::string(format.name)));
}

int CheckDecimatorBlock(Console& console, const Request& request, const Design& design) {
    if (!request.format.format->takesRateChange || !request.decimate || !design.multirate)
        return kDone;
    const int block = request.Block();
    const auto& stages = design.multirate->stages;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        const int factor = stages[i].spot.factor;
        if (block % factor == 0)
            continue;
        const std::string stage =
            stages.size() > 1 ? "stage " + std::to_string(i + 1) + "'s " : std::string();
        return Report(console, kRefused,
                      "--block " + crt::FormatD(block) + ": must be a multiple of " + stage +
                          "decimation factor " + crt::FormatD(factor) + " for --format " +
                          std::string(request.format.format->name));
    }
    return kDone;
}
