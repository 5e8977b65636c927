#include "e2e_files.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace e2e {

std::filesystem::path NewCaseFolder(const std::string& prefix) {
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    const std::filesystem::path folder = pattern;
    std::filesystem::create_directories(folder / "files");
    return folder;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool WaitForCompleteFile(const std::filesystem::path& path, Millis timeout, Millis interval) {
    std::uintmax_t lastSize = static_cast<std::uintmax_t>(-1);
    return WaitUntil(
        [&] {
            std::error_code error;
            const auto size = std::filesystem::file_size(path, error);
            if (error)
                return false;
            const bool stable = size == lastSize;
            lastSize = size;
            return stable;
        },
        timeout, interval);
}

} // namespace e2e
