#pragma once
// WAV files for the simulation, through libsndfile where the build has it; without it, every
// call fails with the message WavUnavailable gives.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The first channel of a PCM WAV file: its integers at the file's width, and its rate.
struct WavSamples {
    std::vector<std::int64_t> samples;
    int bits = 16;
    int rate = 48000;
};

// Reads path's first channel; nullopt with error saying why for a file that cannot be read,
// is not a WAV or holds other samples than 8, 16, 24 or 32-bit PCM, or more than maxSamples.
std::optional<WavSamples> ReadWav(const std::string& path, std::int64_t maxSamples,
                                  std::string& error);

// Writes samples, integers of sampleBits, as one channel of fileBits-bit PCM (8, 16, 24 or 32)
// at rate: each scaled so that both widths' full scales meet, rounded down. False with error
// saying why when the file cannot be written.
bool WriteWav(const std::string& path, const std::vector<std::int64_t>& samples, int sampleBits,
              int fileBits, int rate, std::string& error);
