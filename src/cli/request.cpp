#include "cli/request.h"

#include <algorithm>

bool ToStandardOutput(const std::string& path) {
    return path.empty() || path == "-";
}

bool Request::ToRequirements() const {
    return !pass.empty() || !stop.empty() || !band.empty() || !design.empty();
}

bool Request::ChangesRate() const {
    return decimate || interpolate;
}

taplore::PulseRequest Request::Pulse() const {
    return {pulse->shape, span->value, samplesPerSymbol->value,
            pulse->bt ? bt->value : rolloff->value, gain};
}

bool Request::ZerosAsked() const {
    return views.size() == 1 && views.front() == taplore::View::zeros;
}

bool Request::TapsAsked() const {
    return textAsked && views.empty() && !response;
}

DesignRequest Request::Dialog() const {
    return {order->value, rate->value, low->value, high->value};
}

std::optional<QFormat> Request::Width() const {
    const QFormat chosen = format.width ? *format.width : bits ? bits->value : QFormat::q15;
    return taplore::ExportQFormat(*format.format, chosen);
}

int Request::Block() const {
    return block ? block->value : taplore::kDefaultBlockSize;
}

taplore::BitTrueFormats Request::Arithmetic() const {
    taplore::BitTrueFormats formats;
    formats.input = inputBits ? inputBits->value : taplore::SampleFormat{};
    formats.accumulatorBits = accBits ? accBits->value : 0;
    formats.output = outputBits ? outputBits->value : formats.input;
    formats.overflow = overflow;
    formats.rounding = rounding;
    return formats;
}

std::vector<BandOption> Request::Bands() const {
    std::vector<BandOption> bands = pass;
    bands.insert(bands.end(), stop.begin(), stop.end());
    bands.insert(bands.end(), band.begin(), band.end());
    std::stable_sort(bands.begin(), bands.end(), [](const BandOption& a, const BandOption& b) {
        return a.band.lowHz < b.band.lowHz;
    });
    return bands;
}
