// The Windows writer where a Windows user meets it: files other programs hold open, missing
// folders, read-only files, hard links, names beyond ASCII.
#include "core/io/file_output.h"
#include "core/io/memory.h"
#include "core/io/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

namespace fs = std::filesystem;
using Cause = CFileException::Cause;

const std::string kTaps = "0.100000\r\n-0.200000\r\n0.100000\r\n";
const std::string kOld = "old taps\r\nthat were longer than the new ones\r\n";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The message of the failure, or "" when the text was written.
std::string Failure(const std::string& path, const std::string& text = kTaps) {
    try {
        WriteTextFile(path, text);
    } catch (const CFileException& e) {
        return e.Message();
    }
    return "";
}

// A handle another program holds on a file, with the sharing it allows.
class Holder {
public:
    Holder(const fs::path& path, DWORD sharing)
        : m_handle(::CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_NE(m_handle, INVALID_HANDLE_VALUE) << ::GetLastError();
    }
    ~Holder() { ::CloseHandle(m_handle); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

private:
    HANDLE m_handle;
};

class WindowsFileOutput : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir); }
    void TearDown() override { fs::remove_all(m_dir); }

    // The bytes of name as they are, where a path object would convert them from the ANSI
    // code page.
    std::string Path(const std::string& name) const { return m_dir.string() + "\\" + name; }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    const fs::path m_dir =
        fs::temp_directory_path() / ("taplore_windows_" + std::to_string(::GetCurrentProcessId()));
};

TEST_F(WindowsFileOutput, NewAndReplacedFilesGetExactlyTheBytesAndNoTemporaryFileStays) {
    const std::string path = Path("coef.txt");
    EXPECT_EQ(Failure(path), "");
    EXPECT_EQ(ReadAll(path), kTaps);
    Put(path, kOld);
    EXPECT_EQ(Failure(path), "");
    EXPECT_EQ(ReadAll(path), kTaps);
    EXPECT_EQ(FilesInFolder(), 1u);

    // A name relative to the current folder, which ReplaceFileW itself refuses.
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(m_dir.c_str()));
    const std::string created = Failure("relative.txt", kOld), replaced = Failure("relative.txt");
    ::SetCurrentDirectoryW(previous);
    EXPECT_EQ(created, "");
    EXPECT_EQ(replaced, "");
    EXPECT_EQ(ReadAll(m_dir / "relative.txt"), kTaps);
}

TEST_F(WindowsFileOutput, AFileHeldByAnotherProgramKeepsItsContentWhole) {
    const std::string path = Path("coef.txt");
    Put(path, kOld);
    {
        const Holder exclusive(path, 0);
        EXPECT_EQ(Failure(path), "A sharing violation occurred while accessing " + path + ".");
    }
    EXPECT_EQ(ReadAll(path), kOld);
    // Sharing reading and writing but not deletion: the new content is complete before the
    // replacement fails, and then goes.
    {
        const Holder undeletable(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
        EXPECT_EQ(Failure(path), "A sharing violation occurred while accessing " + path + ".");
    }
    EXPECT_EQ(ReadAll(path), kOld);
    // Wine's ReplaceFileW leaves a backup of its own (rf*.tmp) behind when it fails; ours go.
    for (const fs::directory_entry& entry : fs::directory_iterator(m_dir))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".taplore-")) << entry.path();
}

TEST_F(WindowsFileOutput, RefusedNamesFailWithTheirCauseAndWriteNothing) {
    const std::string missing = Path("no such folder\\coef.txt");
    EXPECT_EQ(Failure(missing), missing + " was not found.");
    EXPECT_FALSE(fs::exists(m_dir / "no such folder"));

    const std::string readOnly = Path("read-only.txt");
    Put(readOnly, kOld);
    ::SetFileAttributesW((m_dir / "read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Failure(readOnly), "Access to " + readOnly + " was denied.");
    ::SetFileAttributesW((m_dir / "read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadAll(readOnly), kOld);

    EXPECT_EQ(Failure(m_dir.string()), "Access to " + m_dir.string() + " was denied.");
    EXPECT_EQ(Failure(Path("folder\\")), "Access to " + Path("folder\\") + " was denied.");
    EXPECT_EQ(Failure(""), "an unnamed file was not found.");
    const std::string notUtf8 = Path("\xff.txt");
    EXPECT_EQ(Failure(notUtf8), notUtf8 + " contains an invalid path.");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(WindowsFileOutput, AFileWithTwoNamesIsWrittenInPlaceSoBothSeeTheNewTaps) {
    Put(m_dir / "coef.txt", kOld);
    ASSERT_TRUE(
        ::CreateHardLinkW((m_dir / "link.txt").c_str(), (m_dir / "coef.txt").c_str(), nullptr));
    EXPECT_EQ(Failure(Path("link.txt")), "");
    EXPECT_EQ(ReadAll(m_dir / "coef.txt"), kTaps);
    EXPECT_EQ(ReadAll(m_dir / "link.txt"), kTaps);
}

TEST_F(WindowsFileOutput, Utf8NamesReachWindowsAsTheirCharacters) {
    const std::u8string name = u8"Bandpass \u00e4\u20ac\u4e2d.txt";
    const std::string path = Path(std::string(name.begin(), name.end()));
    EXPECT_EQ(Failure(path), "");
    EXPECT_EQ(ReadAll(m_dir / fs::path(L"Bandpass \u00e4\u20ac\u4e2d.txt")), kTaps);
}

TEST(WindowsFileFailureCause, LastErrorsMapToTheirCauses) {
    const std::pair<Cause, std::vector<DWORD>> table[] = {
        {CFileException::fileNotFound, {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}},
        {CFileException::badPath, {ERROR_INVALID_NAME, ERROR_BAD_PATHNAME, ERROR_DIRECTORY}},
        {CFileException::tooManyOpenFiles, {ERROR_TOO_MANY_OPEN_FILES}},
        {CFileException::accessDenied, {ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT}},
        {CFileException::sharingViolation, {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION}},
        {CFileException::diskFull, {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL}},
        {CFileException::hardIO, {ERROR_CRC, ERROR_WRITE_FAULT}},
        {CFileException::generic, {ERROR_ALREADY_EXISTS, ERROR_NOT_SAME_DEVICE}},
    };
    for (const auto& [cause, errors] : table)
        for (const DWORD error : errors)
            EXPECT_EQ(cause, CFileException::CauseFromLastError(error)) << error;
}

// An array larger than the free memory is refused before the allocator is asked.
TEST(WindowsMemoryGuard, RefusesMoreThanTheMachineHasFree) {
    const std::uint64_t free = platform::AvailableMemoryBytes();
    ASSERT_GT(free, mem::kCheckedBytes);
    ASSERT_LT(free, std::numeric_limits<std::uint64_t>::max());
    EXPECT_FALSE(mem::Fits(static_cast<std::int64_t>(free / 8 + 1024), 8));
    EXPECT_TRUE(mem::Fits(static_cast<std::int64_t>(mem::kCheckedBytes / 8), 8));
    EXPECT_GE(platform::HardwareThreads(), 1u);
}

} // namespace
