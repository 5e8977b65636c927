#pragma once
// What a run of taplore-design left behind, for the command line's tests on either system.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
