#include "cli/wav_file.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>

namespace {

struct CloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, CloseFile>;

// The width of a PCM subformat, 0 for any other.
int PcmBits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_16:
        return 16;
    case SF_FORMAT_PCM_24:
        return 24;
    case SF_FORMAT_PCM_32:
        return 32;
    default:
        return 0;
    }
}

int PcmSubformat(int bits) {
    switch (bits) {
    case 8:
        return SF_FORMAT_PCM_U8; // WAV's 8-bit samples are unsigned
    case 16:
        return SF_FORMAT_PCM_16;
    case 24:
        return SF_FORMAT_PCM_24;
    default:
        return SF_FORMAT_PCM_32;
    }
}

// A value of fromBits left-aligned in 32 bits, as libsndfile's int calls take it.
int AlignTo32(std::int64_t value, int fromBits) {
    return static_cast<int>(fromBits <= 32 ? value * (std::int64_t{1} << (32 - fromBits))
                                           : value >> (fromBits - 32));
}

} // namespace

std::optional<WavSamples> ReadWav(const std::string& path, std::int64_t maxSamples,
                                  std::string& error) {
    SF_INFO info{};
    SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = "cannot be read as a WAV file: " + std::string(sf_strerror(nullptr));
        return std::nullopt;
    }
    const int bits = PcmBits(info.format);
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV || bits == 0) {
        error = "holds no 8, 16, 24 or 32-bit PCM WAV samples";
        return std::nullopt;
    }
    if (info.frames > maxSamples) {
        error = "holds " + std::to_string(info.frames) + " samples, more than the " +
                std::to_string(maxSamples) + " the free memory allows";
        return std::nullopt;
    }
    WavSamples wav{{}, bits, info.samplerate};
    std::vector<int> frame(static_cast<std::size_t>(info.channels));
    wav.samples.reserve(static_cast<std::size_t>(info.frames));
    // libsndfile hands every width left-aligned in 32 bits.
    while (sf_readf_int(file.get(), frame.data(), 1) == 1)
        wav.samples.push_back(frame[0] >> (32 - bits));
    return wav;
}

bool WriteWav(const std::string& path, const std::vector<std::int64_t>& samples, int sampleBits,
              int fileBits, int rate, std::string& error) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | PcmSubformat(fileBits);
    SoundFile file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    std::vector<int> aligned(samples.size());
    std::transform(samples.begin(), samples.end(), aligned.begin(),
                   [sampleBits](std::int64_t q) { return AlignTo32(q, sampleBits); });
    const auto count = static_cast<sf_count_t>(aligned.size());
    if (sf_write_int(file.get(), aligned.data(), count) != count) {
        error = sf_strerror(file.get());
        return false;
    }
    return true;
}
