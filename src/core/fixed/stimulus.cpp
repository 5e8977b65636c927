#include "core/fixed/stimulus.h"

#include "core/io/memory.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace taplore {

namespace {

std::optional<std::uint64_t> ParseSeed(std::string_view text) {
    std::uint64_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return seed;
}

std::int64_t Noise(std::mt19937_64& engine, int bits) {
    // The top bits, read as two's complement: every value of the range equally likely.
    const std::uint64_t top = engine() >> (64 - bits);
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    // Subtracted in unsigned arithmetic, which wraps where 64 bits' sign would overflow.
    return static_cast<std::int64_t>((top ^ sign) - sign);
}

std::int64_t Chirp(std::int64_t n, std::int64_t count, SampleFormat format) {
    const double t = static_cast<double>(n);
    const double phase = std::numbers::pi * t * t / static_cast<double>(count);
    // The largest value times a sine within [-1, 1] stays within the range once rounded.
    return static_cast<std::int64_t>(
        std::round(static_cast<double>(format.Largest()) * std::sin(phase)));
}

std::string_view FirstField(std::string_view line) {
    line = line.substr(0, line.find(','));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::int64_t MostSimulatedSamples() {
    return static_cast<std::int64_t>(mem::FreeBytes() / kBytesPerSimulatedSample);
}

std::optional<Signal> ParseSignal(std::string_view text) {
    if (text == "impulse")
        return Signal{SignalKind::impulse};
    if (text == "step")
        return Signal{SignalKind::step};
    if (text == "chirp")
        return Signal{SignalKind::chirp};
    if (text == "noise")
        return Signal{SignalKind::noise};
    if (!text.starts_with("noise:"))
        return std::nullopt;
    const auto seed = ParseSeed(text.substr(6));
    if (!seed)
        return std::nullopt;
    return Signal{SignalKind::noise, *seed};
}

std::vector<std::int64_t> Generate(const Signal& signal, std::int64_t count, SampleFormat format) {
    std::vector<std::int64_t> samples(static_cast<std::size_t>(count), 0);
    std::mt19937_64 engine(signal.seed);
    for (std::int64_t n = 0; n < count; ++n) {
        std::int64_t& sample = samples[static_cast<std::size_t>(n)];
        switch (signal.kind) {
        case SignalKind::impulse:
            sample = n == 0 ? format.Largest() : 0;
            break;
        case SignalKind::step:
            sample = format.Largest();
            break;
        case SignalKind::chirp:
            sample = Chirp(n, count, format);
            break;
        case SignalKind::noise:
            sample = Noise(engine, format.bits);
            break;
        }
    }
    return samples;
}

std::vector<std::int64_t> ReadSampleText(std::string_view text, SampleFormat format,
                                         std::string& error) {
    std::vector<std::int64_t> samples;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::string_view field = FirstField(line);
        if (field.empty() || field.front() == '#')
            continue;
        const auto value = ParseInteger(field);
        if (!value || *value < format.Smallest() || *value > format.Largest()) {
            error = "line " + std::to_string(lineNumber) + ": \"" +
                    std::string(field.substr(0, 40)) + "\" is not an integer from " +
                    std::to_string(format.Smallest()) + " to " + std::to_string(format.Largest());
            return {};
        }
        samples.push_back(*value);
    }
    return samples;
}

double OutputSnrDb(const std::vector<double>& taps, const std::vector<std::int64_t>& input,
                   SampleFormat inputFormat, const std::vector<std::int64_t>& output,
                   SampleFormat outputFormat) {
    const double inScale = std::ldexp(1.0, -inputFormat.fraction);
    const double outScale = std::ldexp(1.0, -outputFormat.fraction);
    double signal = 0.0, noise = 0.0;
    for (std::size_t n = 0; n < output.size(); ++n) {
        double reference = 0.0;
        for (std::size_t k = 0; k < taps.size() && k <= n; ++k)
            reference += taps[k] * (static_cast<double>(input[n - k]) * inScale);
        const double error = static_cast<double>(output[n]) * outScale - reference;
        signal += reference * reference;
        noise += error * error;
    }
    if (noise == 0.0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(signal / noise);
}

} // namespace taplore
