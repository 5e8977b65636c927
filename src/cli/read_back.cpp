#include "cli/read_back.h"

#include "core/formats/crt.h"
#include "core/formats/taps_reader.h"
#include "core/io/file_input.h"
#include "core/io/file_output.h"

#include <algorithm>
#include <iostream>

namespace {

bool FromStandardInput(const Request& request) {
    return request.tapsFrom == "-";
}

std::string Source(const Request& request) {
    return FromStandardInput(request) ? "standard input" : request.tapsFrom;
}

// Standard input to its end, as a file is read: the process's own, with the cause of a failed
// read, or the stream a caller in the same process gave.
std::string ReadAll(std::istream* in) {
    if (in == &std::cin)
        return ReadStandardInput();
    std::string text;
    char buffer[1 << 16];
    while (in && (in->read(buffer, sizeof buffer) || in->gcount() > 0))
        AppendInput(text, buffer, static_cast<std::size_t>(in->gcount()));
    if (in && in->bad())
        throw CFileException(CFileException::hardIO, "standard input");
    return text;
}

double RateOf(const Request& request, const taplore::TapsFile& file) {
    if (request.rate)
        return request.rate->value;
    return file.description.rate > 0 ? file.description.rate : 1.0;
}

} // namespace

int ReadTapsBack(Console& console, const Request& request, std::istream* in, Design& design) {
    console.progress.Enter("reading");
    taplore::TapsFile file;
    try {
        const std::string text =
            FromStandardInput(request) ? ReadAll(in) : ReadWholeFile(request.tapsFrom);
        taplore::TapsReading reading;
        reading.fixedPoint = request.tapsBits;
        file = taplore::ReadTaps(text, reading);
    } catch (const CFileException& e) {
        return Report(console, kFailed, e.Message());
    } catch (const InputRefused& e) {
        return Report(console, kFailed, Source(request) + ": " + e.what());
    } catch (const taplore::TapsFileError& e) {
        return Report(console, kFailed, Source(request) + ": " + e.what());
    }
    design.count = static_cast<int>(file.taps.size());
    design.taps.reset(new double[file.taps.size()]);
    std::copy(file.taps.begin(), file.taps.end(), design.taps.get());
    design.description = file.description;
    if (design.description.title.empty())
        design.description.title =
            crt::FormatD(design.count) + " taps read from " + Source(request);
    design.description.rate = RateOf(request, file);
    return kDone;
}
