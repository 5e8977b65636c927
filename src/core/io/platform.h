#pragma once
// What differs between the systems Taplore is built for. Each has its own implementation of
// these (src/core/io/linux, src/core/io/windows), chosen when the program is built; the file writer
// (file_output.h) is split the same way.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Bytes the machine can still give out without swapping, or the largest value where it
// cannot tell.
std::uint64_t AvailableMemoryBytes();

// How many threads the machine runs at once; at least 1.
unsigned HardwareThreads();

// The command line's arguments after the program's name, in UTF-8 like every path the core
// is given.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and standard error pass every byte through unchanged from here on: CR LF
// stays CR LF, LF stays LF.
void BinaryStandardOutput();

} // namespace platform
