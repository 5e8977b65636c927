#include "core/io/platform.h"

#include "core/io/windows/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <limits>
#include <shellapi.h>

namespace platform {

// Physical memory not in use, the figure that matches Linux's MemAvailable: more than that
// is granted from the page file, at the cost of the machine crawling.
std::uint64_t AvailableMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status))
        return std::numeric_limits<std::uint64_t>::max();
    return status.ullAvailPhys;
}

// Every processor group: a design's threads are not confined to the group the program
// started in.
unsigned HardwareThreads() {
    return std::max<unsigned>(1, ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
}

// argv holds the arguments in the ANSI code page, which cannot spell most names; the wide
// command line holds them all.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return {argv + 1, argv + argc};
    std::vector<std::string> words;
    for (int i = 1; i < count; ++i)
        words.push_back(Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return words;
}

// The C runtime turns every LF into CR LF on a text-mode stream, so CR LF would become
// CR CR LF. Standard error too, so that messages are the same bytes as on Linux.
void BinaryStandardOutput() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

} // namespace platform
