#include "core/fixed/fixed_point_effect.h"

#include "core/fixed/stimulus.h"
#include "core/formats/crt.h"

namespace taplore {

namespace {

const char* const kSampleProblem = "must be B or B.F, B from 2 to 64 and F from 0 to B.";

// Empty: 0, the accumulator that never overflows; else a whole number of bits from 2 to 64.
std::optional<int> AccumulatorBits(const std::string& text) {
    if (text.empty())
        return 0;
    const std::optional<int> bits = crt::StrictAtoi(text);
    if (!bits || *bits < 2 || *bits > 64)
        return std::nullopt;
    return bits;
}

std::string Overflows(std::int64_t count) {
    return count == 0 ? "none" : std::to_string(count);
}

} // namespace

std::optional<FixedPointArithmetic> ReadArithmetic(const FixedPointInputs& inputs,
                                                   std::string& problem) {
    FixedPointArithmetic arithmetic;
    const auto taps = ParseQFormat(inputs.tapBits);
    const auto input = ParseSampleFormat(inputs.inputBits);
    const auto output = inputs.outputBits.empty() ? input : ParseSampleFormat(inputs.outputBits);
    const std::optional<int> accumulator = AccumulatorBits(inputs.accumulatorBits);
    if (!taps)
        problem = "Bits: must be B or B.F, B from 2 to 32.";
    else if (!input)
        problem = std::string("Input bits: ") + kSampleProblem;
    else if (!output)
        problem = std::string("Output bits: ") + kSampleProblem;
    else if (!accumulator)
        problem = "Accumulator bits: must be empty (never overflowing) or from 2 to 64.";
    else
        problem.clear();
    if (!problem.empty())
        return std::nullopt;
    arithmetic.taps = *taps;
    arithmetic.formats = {*input,  taps->fraction,  *accumulator,
                          *output, inputs.overflow, inputs.rounding};
    arithmetic.searchRoundings = inputs.searchRoundings;
    return arithmetic;
}

FixedPointEffect EffectOf(std::span<const double> taps, const FixedPointArithmetic& arithmetic,
                          const FrequencyGrid& grid, const Requirements& requirements) {
    const FixedPointTaps rounded =
        QuantiseTaps(taps, arithmetic.taps, arithmetic.searchRoundings ? &requirements : nullptr);
    FixedPointEffect effect;
    effect.magnitudeDb = ComputeFrequencyViews(Dequantise(rounded), grid).magnitudeDb;
    BitTrueFormats formats = arithmetic.formats;
    effect.automaticAccumulator = formats.accumulatorBits == 0;
    if (effect.automaticAccumulator)
        formats.accumulatorBits = NeverOverflowingBits(formats.input.bits, rounded.values);
    effect.accumulatorBits = formats.accumulatorBits;
    const std::vector<std::int64_t> chirp =
        Generate({SignalKind::chirp}, kChirpSamples, formats.input);
    const BitTrueRun run = RunBitTrue(formats, rounded.values, chirp);
    effect.accumulatorOverflows = run.accumulatorOverflows;
    effect.outputOverflows = run.outputOverflows;
    return effect;
}

std::string EffectText(const FixedPointEffect& effect) {
    return "Full-scale chirp of " + std::to_string(kChirpSamples) +
           " samples: " + Overflows(effect.accumulatorOverflows) +
           " overflows at the accumulator (" + crt::FormatD(effect.accumulatorBits) + " bits" +
           (effect.automaticAccumulator ? ", wide enough never to overflow" : "") + "), " +
           Overflows(effect.outputOverflows) + " at the output.";
}

std::string FewestBitsText(const FewestBits& found) {
    const QFormat format = found.taps.format;
    return "Fewest bits: " + WidthText(format) + " (" + QFormatName(format) +
           "), by a search over the roundings; plain rounding, as the exports round, " +
           (found.plainBits > 0 ? "needs " + crt::FormatD(found.plainBits) + " bits."
                                : "meets at no width up to 32 bits.");
}

std::string WidthText(QFormat format) {
    return crt::FormatD(format.bits) + "." + crt::FormatD(format.fraction);
}

} // namespace taplore
