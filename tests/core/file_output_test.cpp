#include "core/coef_file.h"
#include "core/file_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Cause = CFileException::Cause;
using Names = std::vector<std::string>;

const std::string kOld = "old content\r\nthat must survive\r\n";
const std::vector<double> kTaps = {0.5, -1.25, 3.0};
const std::string kTapsText = "0.500000\r\n-1.250000\r\n3.000000\r\n";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << content;
    fs::permissions(path, static_cast<fs::perms>(mode));
}

mode_t PermissionBits(const std::string& path) {
    return static_cast<mode_t>(fs::status(path).permissions());
}

Cause Save(const std::string& path, const std::vector<double>& taps = kTaps) {
    try {
        WriteCoefficientFile(path, taps.data(), static_cast<int>(taps.size()));
    } catch (const CFileException& e) {
        return e.m_cause;
    }
    return CFileException::none;
}

// The exit status of work run in a child process.
int InChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(work());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Root ignores permission bits, so a root test process saves as user "nobody" instead.
Cause SaveWithoutPrivileges(const std::string& path) {
    if (::geteuid() != 0)
        return Save(path);
    return static_cast<Cause>(InChild([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return 255;
        return static_cast<int>(Save(path));
    }));
}

class FileOutput : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "taplore-file-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        m_folder = pattern;
        fs::permissions(m_folder, static_cast<fs::perms>(0755)); // reachable without root
    }

    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(m_folder))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_folder);
    }

    std::string Path(const std::string& name) const { return m_folder + "/" + name; }

    // Every name in a folder, so that a left-over temporary file shows.
    Names NamesIn(const std::string& folder) const {
        Names names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_folder;
};

TEST_F(FileOutput, WritesOneCrLfLinePerTap) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    std::vector<double> many(100001);
    for (std::size_t k = 0; k < many.size(); ++k)
        many[k] = static_cast<double>(k);
    ASSERT_EQ(CFileException::none, Save(Path("three.txt")));
    ASSERT_EQ(CFileException::none, Save(Path("odd.txt"), {-inf, inf, -std::nan(""), -0.0}));
    ASSERT_EQ(CFileException::none, Save(Path("empty.txt"), {}));
    ASSERT_EQ(CFileException::none, Save(Path("many.txt"), many));

    EXPECT_EQ(kTapsText, ReadAll(Path("three.txt")));
    EXPECT_EQ("-inf\r\ninf\r\nnan\r\n-0.000000\r\n", ReadAll(Path("odd.txt")));
    EXPECT_TRUE(fs::exists(Path("empty.txt")));
    EXPECT_EQ(0u, fs::file_size(Path("empty.txt")));
    const std::string text = ReadAll(Path("many.txt"));
    EXPECT_EQ(100001, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(100001, std::count(text.begin(), text.end(), '\r'));
    EXPECT_TRUE(text.ends_with("\r\n99999.000000\r\n100000.000000\r\n"));
}

TEST_F(FileOutput, ReplacesKeepingPermissionBitsAndFollowingLinks) {
    WriteAll(Path("real.txt"), kOld, 0604);
    fs::create_symlink("real.txt", Path("link.txt"));
    fs::create_symlink("later.txt", Path("dangling.txt"));
    const mode_t previousMask = ::umask(027);
    const Cause throughLink = Save(Path("link.txt"));
    const Cause throughDangling = Save(Path("dangling.txt"));
    ::umask(previousMask);

    ASSERT_EQ(CFileException::none, throughLink);
    ASSERT_EQ(CFileException::none, throughDangling);
    EXPECT_EQ(kTapsText, ReadAll(Path("real.txt")));
    EXPECT_EQ(kTapsText, ReadAll(Path("later.txt")));
    EXPECT_EQ(0604u, PermissionBits(Path("real.txt")));
    EXPECT_EQ(0640u, PermissionBits(Path("later.txt")));
    EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
    EXPECT_TRUE(fs::is_symlink(Path("dangling.txt")));
    EXPECT_EQ((Names{"dangling.txt", "later.txt", "link.txt", "real.txt"}), NamesIn(m_folder));
}

TEST_F(FileOutput, FileNotClosedLeavesNothingHalfWritten) {
    WriteAll(Path("existing.txt"), kOld);
    {
        CStdioFile replacing(Path("existing.txt"));
        CStdioFile creating(Path("fresh.txt"));
        replacing.WriteString("new\n");
        creating.WriteString("new\n");
    }
    EXPECT_EQ(kOld, ReadAll(Path("existing.txt")));
    EXPECT_EQ(Names{"existing.txt"}, NamesIn(m_folder));
}

TEST_F(FileOutput, ReadOnlyFolderOrFileIsAccessDeniedAndKeepsTheFile) {
    for (const bool readOnlyFolder : {true, false}) {
        const std::string folder = Path(readOnlyFolder ? "shelf" : "open");
        fs::create_directory(folder);
        fs::permissions(folder, static_cast<fs::perms>(0777));
        WriteAll(folder + "/coef.txt", kOld, readOnlyFolder ? 0666 : 0444);
        if (readOnlyFolder)
            fs::permissions(folder, static_cast<fs::perms>(0555));

        EXPECT_EQ(CFileException::accessDenied, SaveWithoutPrivileges(folder + "/coef.txt"));
        EXPECT_EQ(kOld, ReadAll(folder + "/coef.txt"));
        EXPECT_EQ(Names{"coef.txt"}, NamesIn(folder));
    }
}

TEST_F(FileOutput, BadPathsFailWithTheirCause) {
    WriteAll(Path("plain.txt"), kOld);
    EXPECT_EQ(CFileException::fileNotFound, Save(Path("missing/coef.txt")));
    EXPECT_EQ(CFileException::fileNotFound, Save(""));
    EXPECT_EQ(CFileException::accessDenied, Save(m_folder));
    EXPECT_EQ(CFileException::accessDenied, Save(Path("not-yet-a-folder/")));
    EXPECT_EQ(CFileException::badPath, Save(Path("plain.txt/coef.txt")));
    EXPECT_EQ(kOld, ReadAll(Path("plain.txt")));
    EXPECT_EQ(Names{"plain.txt"}, NamesIn(m_folder));
}

TEST_F(FileOutput, LockedFileIsASharingViolationAndIsNotTouched) {
    const std::string path = Path("coef.txt");
    WriteAll(path, kOld);
    const int holder = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(0, ::flock(holder, LOCK_EX));
    EXPECT_EQ(CFileException::sharingViolation, Save(path));
    ::close(holder);
    EXPECT_EQ(kOld, ReadAll(path));
    EXPECT_EQ(Names{"coef.txt"}, NamesIn(m_folder));

    CStdioFile first(path); // holds its own lock until the new content is in place
    EXPECT_EQ(CFileException::sharingViolation, Save(path));
    first.Close();
    EXPECT_EQ(CFileException::none, Save(path));
}

TEST_F(FileOutput, DevicesAreWrittenInPlace) {
    if (!fs::is_character_file("/dev/full") || !fs::is_character_file("/dev/null"))
        GTEST_SKIP() << "no /dev/full or /dev/null";
    EXPECT_EQ(CFileException::diskFull, Save("/dev/full"));
    EXPECT_EQ(CFileException::none, Save("/dev/null")); // cannot be synced, which is no failure
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(FileOutput, FailedWriteIsDiskFullAndKeepsTheOldFile) {
    const std::string path = Path("coef.txt");
    WriteAll(path, kOld);
    const int cause = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit smallFiles{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &smallFiles) != 0)
            return 255;
        return static_cast<int>(Save(path, std::vector<double>(200000, 0.125)));
    });
    EXPECT_EQ(CFileException::diskFull, cause);
    EXPECT_EQ(kOld, ReadAll(path));
    EXPECT_EQ(Names{"coef.txt"}, NamesIn(m_folder));
}

TEST_F(FileOutput, FailureMessagesNameTheFile) {
    const std::string path = Path("missing/coef.txt");
    try {
        WriteCoefficientFile(path, kTaps.data(), 3);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(path, e.m_strFileName);
        EXPECT_EQ(path + " was not found.", std::string(e.what()));
    }
    EXPECT_EQ("Disk full while accessing an unnamed file.",
              CFileException(CFileException::diskFull, "").Message());
    EXPECT_EQ("Access to /tmp/a b.txt was denied.",
              CFileException(CFileException::accessDenied, "/tmp/a b.txt").Message());
    EXPECT_EQ("Seek failed on f", CFileException(CFileException::badSeek, "f").Message());
}

} // namespace
