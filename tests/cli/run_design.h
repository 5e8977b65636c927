#pragma once
// taplore-design run as a user runs it: in a process of its own through the shell, without a
// display, its standard error kept in a file.

#include "cli/outcome.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Memory runs out at 512 MiB: through the address-space limit, or, since AddressSanitizer
// cannot start under one, through its own allocation cap.
#ifdef __SANITIZE_ADDRESS__
inline const std::string kStarved =
    "export "
    "ASAN_OPTIONS=\"$ASAN_OPTIONS:allocator_may_return_null=1:max_allocation_size_mb=512\"; ";
#else
inline const std::string kStarved = "ulimit -v 524288; ";
#endif

// words: the shell words after the program's name; setup: shell text before the command, such
// as a limit; err: where standard error goes meanwhile.
inline Outcome RunDesign(const std::string& words, const std::string& setup,
                         const std::filesystem::path& err) {
    const std::string command = setup + "exec env -u DISPLAY -u WAYLAND_DISPLAY " +
                                TAPLORE_DESIGN_EXE + words + " 2>" + err.string();
    Outcome o;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        o.out += static_cast<char>(c);
    const int status = ::pclose(pipe);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.err = ReadAll(err);
    return o;
}

// A test of taplore-design with a folder of its own for the files it writes, removed after.
class DesignRunTest : public testing::Test {
protected:
    explicit DesignRunTest(const std::string& prefix)
        : m_dir(std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()))) {}
    void SetUp() override { std::filesystem::create_directories(m_dir); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // setup: shell text before the command, such as a limit.
    Outcome Run(const std::string& words, const std::string& setup = "") const {
        return RunDesign(words, setup, m_dir / "stderr");
    }

    const std::filesystem::path m_dir;
};
