// The build without libsndfile: WAV names are still recognised, and refused.
#include "cli/wav_file.h"

namespace {

const char* const kNoWav = "cannot be read or written: this build of taplore-design has no WAV "
                           "support (libsndfile)";

} // namespace

std::optional<WavSamples> ReadWav(const std::string&, std::int64_t, std::string& error) {
    error = kNoWav;
    return std::nullopt;
}

bool WriteWav(const std::string&, const std::vector<std::int64_t>&, int, int, int,
              std::string& error) {
    error = kNoWav;
    return false;
}
