// taplore-design: the filter Calculate designs, from the command line, written as taps or as
// its response to standard output or to a file, for scripts and builds.
#include "cli/design_cli.h"

#include "cli/cic_design.h"
#include "cli/console.h"
#include "cli/dialog_design.h"
#include "cli/fewest_bits.h"
#include "cli/multirate_design.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/parse_refusal.h"
#include "cli/pulse_design.h"
#include "cli/read_back.h"
#include "cli/requirements_design.h"
#include "cli/simulate.h"

#include <CLI/CLI.hpp>

#include <new>

int RunDesignCli(const std::vector<std::string>& arguments, const CliStreams& streams) {
    Console console{streams.out, streams.err, {streams.err, streams.errIsTerminal}};
    CLI::App app("Designs the Hamming-windowed FIR filter Taplore's Calculate designs, or a filter "
                 "to requirements, or reads taps back, and writes them in a format for a target "
                 "or their response.",
                 kProgram);
    Request request;
    const OptionExamples examples = DeclareOptions(app, request);
    // CLI11 takes the words last first.
    std::vector<std::string> words(arguments.rbegin(), arguments.rend());
    try {
        app.parse(words);
    } catch (const CLI::Success& e) {
        return app.exit(e, console.out, console.err); // --help or --version
    } catch (const CLI::ParseError& e) {
        return Report(console, kRefused, ParseRefusal(app, e, examples));
    }
    if (request.quiet)
        console.progress.Silence();
    try {
        Design design;
        const int status =
            request.pulse              ? DesignPulseShape(console, request, design)
            : request.cic              ? DesignCicCompensator(console, request, design)
            : request.ChangesRate()    ? DesignRateChange(console, request, design)
            : request.ToRequirements() ? DesignToRequirements(console, request, design)
            : request.tapsFrom.empty() ? DesignAsTheDialog(console, request, design)
                                       : ReadTapsBack(console, request, streams.in, design);
        if (status != kDone)
            return status;
        if (request.fewestBits)
            return WriteFewestBits(console, request, design);
        if (request.simulate)
            return SimulateFilter(console, request, design);
        if (!design.IsPlan() || !request.TapsAsked())
            return WriteOutputs(console, request, design);
        // A plan's taps go a file a stage; its image, of the cascade, after them.
        if (const int status = WriteStages(console, request, design);
            status != kDone || request.plot.empty())
            return status;
        Request image = request;
        image.textAsked = false;
        return WriteOutputs(console, image, design);
    } catch (const std::bad_alloc&) {
        return Report(console, kFailed, "Out of memory.");
    }
}
