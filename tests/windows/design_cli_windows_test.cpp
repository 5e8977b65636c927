// taplore-design.exe run as a Windows user runs it, through the command interpreter: the same
// bytes, exit statuses and messages as on Linux.
#include "cli/outcome.h"
#include "core/design/fir_design.h"
#include "core/formats/coef_file.h"
#include "core/io/windows/wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

const std::string kStartUp = " --order 511 --rate 8000 --low 400 --high 2400";

class TaploreDesignExe : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    // words: UTF-8, as a user types them.
    Outcome Run(const std::string& words) const {
        std::string exe = TAPLORE_DESIGN_EXE;
        std::replace(exe.begin(), exe.end(), '/', '\\');
        const std::wstring command =
            *WideFromUtf8(exe + words) + L" 2>\"" + (m_dir / "stderr").wstring() + L"\"";
        Outcome o;
        FILE* pipe = ::_wpopen(command.c_str(), L"rb");
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            o.out += static_cast<char>(c);
        o.status = ::_pclose(pipe);
        o.err = ReadAll(m_dir / "stderr");
        return o;
    }

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_cli_" + std::to_string(::GetCurrentProcessId()));
    const fs::path m_file = m_dir / "taps.txt";
};

TEST_F(TaploreDesignExe, TextKeepsItsCrLfOnStandardOutputAndInAFile) {
    std::shared_ptr<double[]> coef;
    int count = 0;
    ASSERT_GT(DesignFilter(coef, count, 511, 0.1, 0.6), 0);
    WriteCoefficientFile(m_file.string(), coef.get(), count);
    const std::string saved = ReadAll(m_file);
    fs::remove(m_file);

    const Outcome o = Run(kStartUp);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, saved); // CR CR LF would differ here
    EXPECT_EQ(Run(kStartUp + " -o \"" + m_file.string() + "\"").status, 0);
    EXPECT_EQ(ReadAll(m_file), saved);
    // Full precision and C keep their LF.
    EXPECT_EQ(Run(kStartUp + " --format full").out.find('\r'), std::string::npos);
    EXPECT_EQ(Run(kStartUp + " --format c").out.find('\r'), std::string::npos);
}

// Windows hands argv over in the ANSI code page, which has no letter for most of these.
TEST_F(TaploreDesignExe, WritesToANameBeyondAscii) {
    const std::u8string name = u8"Tiefpass \u00e4\u20ac\u4e2d.txt";
    const std::u8string dir = m_dir.u8string();
    const std::string path =
        std::string(dir.begin(), dir.end()) + "\\" + std::string(name.begin(), name.end());
    EXPECT_EQ(Run(kStartUp + " -o \"" + path + "\"").status, 0);
    EXPECT_TRUE(fs::exists(m_dir / fs::path(L"Tiefpass \u00e4\u20ac\u4e2d.txt")));
}

TEST_F(TaploreDesignExe, RefusalsAndFailuresExitAsOnLinuxAndLeaveTheOldFile) {
    const Outcome refused = Run(" --order 511 --low 400 --high 2400");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "taplore-design: --rate is required\n");

    const std::string file = m_file.string(), missing = (m_dir / "no" / "taps.txt").string();
    std::ofstream(m_file, std::ios::binary) << "old taps\r\n";
    const HANDLE holder = ::CreateFileW(m_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    const Outcome held = Run(kStartUp + " -o " + file);
    ::CloseHandle(holder);
    EXPECT_EQ(held.status, 1);
    EXPECT_EQ(held.err,
              "taplore-design: A sharing violation occurred while accessing " + file + ".\n");
    EXPECT_EQ(ReadAll(m_file), "old taps\r\n");

    const Outcome lost = Run(kStartUp + " -o " + missing);
    EXPECT_EQ(lost.status, 1);
    EXPECT_EQ(lost.err, "taplore-design: " + missing + " was not found.\n");
}

} // namespace
