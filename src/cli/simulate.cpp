#include "cli/simulate.h"

#include "cli/wav_file.h"
#include "core/fixed/stimulus.h"
#include "core/formats/crt.h"
#include "core/io/file_input.h"
#include "core/io/file_output.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

using namespace taplore;

constexpr std::int64_t kDefaultSamples = 4096;
// The rate of a WAV written from a generated stimulus of taps that have none.
constexpr int kDefaultWavRate = 48000;

// The samples fed to the filter, their format and, for a WAV file, its rate.
struct Stimulus {
    std::vector<std::int64_t> samples;
    SampleFormat format;
    int rate = 0;
};

bool IsWavName(const std::string& path) {
    std::string extension = path.size() < 4 ? "" : path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".wav";
}

std::string FormatText(SampleFormat format) {
    return std::to_string(format.bits) + "." + std::to_string(format.fraction);
}

// A WAV file's integers are the input's: --input-bits, where given, must be their width.
bool ReadWavStimulus(const std::string& path, const Request& request, Stimulus& stimulus,
                     std::string& error) {
    const auto wav = ReadWav(path, MostSimulatedSamples(), error);
    if (!wav)
        return false;
    if (request.inputBits && request.inputBits->value.bits != wav->bits) {
        error = "holds samples of " + std::to_string(wav->bits) + " bits, not the " +
                std::to_string(request.inputBits->value.bits) + " of --input-bits";
        return false;
    }
    stimulus.samples = wav->samples;
    stimulus.format =
        request.inputBits ? request.inputBits->value : SampleFormat{wav->bits, wav->bits - 1};
    stimulus.rate = wav->rate;
    return true;
}

// The samples of --simulate's WAV, text or CSV file; error says what is wrong with it.
bool ReadFileStimulus(const Request& request, Stimulus& stimulus, std::string& error) {
    const std::string& name = *request.simulate;
    if (IsWavName(name))
        return ReadWavStimulus(name, request, stimulus, error);
    try {
        stimulus.samples = ReadSampleText(ReadWholeFile(name), stimulus.format, error);
    } catch (const InputRefused& e) {
        error = e.what();
    }
    if (error.empty() && stimulus.samples.empty())
        error = "holds no samples";
    return error.empty();
}

// The stimulus --simulate names: a signal, or a file. error is the message for a file that
// cannot be read.
bool ReadStimulus(const Request& request, Stimulus& stimulus, std::string& error) {
    const std::string& name = *request.simulate;
    stimulus.format = request.inputBits ? request.inputBits->value : SampleFormat{16, 15};
    if (const auto signal = ParseSignal(name)) {
        const std::int64_t count = request.samples ? request.samples->value : kDefaultSamples;
        stimulus.samples = Generate(*signal, count, stimulus.format);
        return true;
    }
    try {
        if (ReadFileStimulus(request, stimulus, error))
            return true;
        error = name + ": " + error;
    } catch (const CFileException& e) {
        error = e.Message();
    }
    return false;
}

BitTrueFormats FormatsOf(const Request& request, const Stimulus& stimulus,
                         const FixedPointTaps& taps) {
    BitTrueFormats formats;
    formats.input = stimulus.format;
    formats.tapFraction = taps.format.fraction;
    formats.accumulatorBits = request.accBits
                                  ? request.accBits->value
                                  : NeverOverflowingBits(stimulus.format.bits, taps.values);
    formats.output = request.outputBits ? request.outputBits->value : stimulus.format;
    formats.overflow = request.overflow;
    formats.rounding = request.rounding;
    return formats;
}

std::string SamplesText(const std::vector<std::int64_t>& samples) {
    std::string text;
    text.reserve(samples.size() * 8);
    char digits[24];
    for (std::int64_t q : samples) {
        const auto end = std::to_chars(digits, digits + sizeof digits, q).ptr;
        text.append(digits, end);
        text += '\n';
    }
    return text;
}

taplore::TapsDescription DescribeRun(const Request& request, const BitTrueFormats& formats,
                                     const FixedPointTaps& taps, const BitTrueRun& run,
                                     double snr) {
    taplore::TapsDescription report;
    report.title = "bit-true simulation: " + std::to_string(run.output.size()) + " samples of " +
                   *request.simulate + " through " + std::to_string(taps.values.size()) +
                   " taps in " + QFormatName(taps.format);
    report.notes.push_back("input " + FormatText(formats.input) + ", accumulator " +
                           std::to_string(formats.accumulatorBits) + " bits" +
                           (request.accBits ? "" : " (wide enough never to overflow)") +
                           ", output " + FormatText(formats.output) + ", overflow " +
                           std::string(OverflowName(formats.overflow)) + ", rounding " +
                           std::string(RoundingName(formats.rounding)));
    report.notes.push_back("overflows: " + std::to_string(run.accumulatorOverflows) +
                           " at the accumulator, " + std::to_string(run.outputOverflows) +
                           " at the output");
    report.notes.push_back("SNR against the double filter: " + crt::FormatG(snr, 4) + " dB");
    return report;
}

// --simulate-output's WAV: the output at the input's width, at the WAV stimulus's rate or
// else the design's.
bool WriteOutputWav(const Request& request, const Design& design, const Stimulus& stimulus,
                    const BitTrueFormats& formats, const BitTrueRun& run, std::string& error) {
    const double designRate = request.rate ? request.rate->value : design.description.rate;
    const int rate = stimulus.rate > 0   ? stimulus.rate
                     : designRate >= 1.0 ? static_cast<int>(std::min(designRate, 2147483647.0))
                                         : kDefaultWavRate;
    return WriteWav(request.simulateOutput, run.output, formats.output.bits, stimulus.format.bits,
                    rate, error);
}

} // namespace

int SimulateFilter(Console& console, const Request& request, const Design& design) {
    FixedPointTaps taps;
    try {
        taps = QuantisedAsAsked(request, design, request.bits ? request.bits->value : QFormat::q15);
    } catch (const NoFixedPointForm& e) {
        return Report(console, kFailed, e.what());
    }
    Stimulus stimulus;
    std::string error;
    if (!ReadStimulus(request, stimulus, error))
        return Report(console, kFailed, error);
    console.progress.Enter("simulating");
    const BitTrueFormats formats = FormatsOf(request, stimulus, taps);
    const BitTrueRun run = RunBitTrue(formats, taps.values, stimulus.samples);
    const std::vector<double> doubleTaps(design.taps.get(), design.taps.get() + design.count);
    const double snr =
        OutputSnrDb(doubleTaps, stimulus.samples, stimulus.format, run.output, formats.output);
    if (!request.simulateOutput.empty() &&
        !WriteOutputWav(request, design, stimulus, formats, run, error))
        return Report(console, kFailed, request.simulateOutput + ": " + error);
    if (!request.quiet)
        ShowReport(console, DescribeRun(request, formats, taps, run, snr));
    return WriteText(console, request.output, SamplesText(run.output));
}
