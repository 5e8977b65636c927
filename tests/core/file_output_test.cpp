#include "core/formats/coef_file.h"
#include "core/io/file_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <limits>
#include <optional>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
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

constexpr uid_t kNobody = 65534;

// Root ignores permission bits and may give files away, so a root test process saves as
// user "nobody", in no group of root's, instead.
Cause SaveWithoutPrivileges(const std::string& path) {
    if (::geteuid() != 0)
        return Save(path);
    return static_cast<Cause>(InChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return 255;
        return static_cast<int>(Save(path));
    }));
}

std::string Attribute(const std::string& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return size < 0 ? "(none)" : value;
}

// An access ACL in the kernel's form: owner rw, user 4321 r, group r, mask r, others none.
const std::string kAcl("\x02\0\0\0"
                       "\x01\0\x06\0\xff\xff\xff\xff"
                       "\x02\0\x04\0\xe1\x10\0\0"
                       "\x04\0\x04\0\xff\xff\xff\xff"
                       "\x10\0\x04\0\xff\xff\xff\xff"
                       "\x20\0\0\0\xff\xff\xff\xff",
                       44);

// Saves 2 MB in a child process allowed files of 64 kB: the failing write raises SIGXFSZ,
// whose handler stops the child in the middle of its save.
pid_t StartSaveStoppedMidWrite(const std::string& path) {
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const rlimit smallFiles{64 * 1024, 64 * 1024};
        std::signal(SIGXFSZ, [](int) { ::raise(SIGSTOP); });
        if (::setrlimit(RLIMIT_FSIZE, &smallFiles) != 0)
            ::_exit(255);
        ::_exit(static_cast<int>(Save(path, std::vector<double>(200000, 0.125))));
    }
    int status = 0;
    ::waitpid(child, &status, WUNTRACED);
    return WIFSTOPPED(status) ? child : -1;
}

// A child process holding an fcntl record lock of type on length bytes of path from start
// (0: to the end), as programs that do not use flock lock; stopped until Finish.
pid_t StartRecordLockHolder(const std::string& path, short type, off_t start, off_t length) {
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        struct flock lock {};
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        lock.l_start = start;
        lock.l_len = length;
        const int fd = ::open(path.c_str(), O_RDWR);
        if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0)
            ::_exit(255);
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, WUNTRACED);
    return WIFSTOPPED(status) ? child : -1;
}

// Taps whose text is exactly bytes long: lines of "1.000000" and "10.000000", 10 and 11 bytes.
std::vector<double> TapsOfTextSize(std::uint64_t bytes) {
    const std::uint64_t longLines = bytes % 10;
    std::vector<double> taps((bytes - 11 * longLines) / 10, 1.0);
    taps.insert(taps.end(), longLines, 10.0);
    return taps;
}

// Sends the stopped child a signal: its exit code then, or minus the signal that ended it.
int Finish(pid_t child, int signal) {
    if (child <= 0)
        return -1;
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
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
        for (auto mount = m_mounts.rbegin(); mount != m_mounts.rend(); ++mount)
            ::umount2(mount->c_str(), MNT_DETACH);
        for (const auto& entry : fs::recursive_directory_iterator(m_folder))
            if (!entry.is_symlink() && entry.is_directory())
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

    // Mounts for the test's duration; the reason it could not, or "".
    std::string Mount(const std::string& source, const std::string& target, const char* type,
                      unsigned long flags, const char* options = nullptr) {
        if (::mount(source.c_str(), target.c_str(), type, flags, options) != 0)
            return std::string("cannot mount here: ") + std::strerror(errno);
        m_mounts.push_back(target);
        return "";
    }

    bool HasUnnamedFiles() const {
        const int fd = ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }

    std::string m_folder;
    Names m_mounts;
};

const char* const kNeedsRoot = "needs root to set the files up";

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

// A link whose size lstat understates (the kernel's fd links claim 64 bytes): the whole
// target must be read, or the taps land in a file of a cut-off name.
TEST_F(FileOutput, FollowsALinkToALongTargetWhole) {
    const std::string target = Path(std::string(120, 'a') + ".txt");
    WriteAll(target, kOld);
    const int fd = ::open(target.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const Cause cause = Save("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);
    ASSERT_EQ(CFileException::none, cause);
    EXPECT_EQ(kTapsText, ReadAll(target));
    EXPECT_EQ(1u, NamesIn(m_folder).size());
}

TEST_F(FileOutput, ReplacementKeepsOwnerGroupModeAclAndAttributes) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    const std::string path = Path("coef.txt");
    WriteAll(path, kOld);
    ASSERT_EQ(0, ::chown(path.c_str(), 1234, 5678));
    ASSERT_EQ(0, ::setxattr(path.c_str(), "user.origin", "bench 7", 7, 0));
    ASSERT_EQ(0, ::setxattr(path.c_str(), "system.posix_acl_access", kAcl.data(), kAcl.size(), 0))
        << "no ACLs here: " << std::strerror(errno);
    ASSERT_EQ(0, ::chmod(path.c_str(), 06640)); // after chown, which clears set-ID bits
    struct stat before;
    ASSERT_EQ(0, ::stat(path.c_str(), &before));
    // The folder's default ACL reaches new files, but must not reach one that had no ACL.
    WriteAll(Path("plain.txt"), kOld);
    ASSERT_EQ(
        0, ::setxattr(m_folder.c_str(), "system.posix_acl_default", kAcl.data(), kAcl.size(), 0));

    ASSERT_EQ(CFileException::none, Save(path));
    ASSERT_EQ(CFileException::none, Save(Path("plain.txt")));
    struct stat after;
    ASSERT_EQ(0, ::stat(path.c_str(), &after));
    EXPECT_NE(before.st_ino, after.st_ino) << "written in place, not replaced";
    EXPECT_EQ(kTapsText, ReadAll(path));
    EXPECT_EQ(1234u, after.st_uid);
    EXPECT_EQ(5678u, after.st_gid);
    EXPECT_EQ(before.st_mode, after.st_mode);
    EXPECT_EQ("bench 7", Attribute(path, "user.origin"));
    EXPECT_EQ(kAcl, Attribute(path, "system.posix_acl_access"));
    EXPECT_EQ("(none)", Attribute(Path("plain.txt"), "system.posix_acl_access"));
    EXPECT_EQ(0644u, PermissionBits(Path("plain.txt")));
    EXPECT_EQ((Names{"coef.txt", "plain.txt"}), NamesIn(m_folder));
}

// Root's new file is root's in root's group: the group alone must still be given back.
TEST_F(FileOutput, ReplacementOfRootsFileKeepsItsOtherGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    const std::string path = Path("shared.txt");
    WriteAll(path, kOld, 0664);
    ASSERT_EQ(0, ::chown(path.c_str(), 0, 5678));
    ASSERT_EQ(CFileException::none, Save(path));
    struct stat after;
    ASSERT_EQ(0, ::stat(path.c_str(), &after));
    EXPECT_EQ(kTapsText, ReadAll(path));
    EXPECT_EQ(0u, after.st_uid);
    EXPECT_EQ(5678u, after.st_gid);
    EXPECT_EQ(0664u, PermissionBits(path));
}

// Hard links, an owner or an attribute the saver may not give, a folder the saver may not
// write to: the file's own inode takes the new text and keeps the rest.
TEST_F(FileOutput, WritesInPlaceWhereAReplacementWouldLoseSomething) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    fs::permissions(m_folder, static_cast<fs::perms>(0777));
    WriteAll(Path("linked.txt"), kOld);
    fs::create_hard_link(Path("linked.txt"), Path("other-name.txt"));
    WriteAll(Path("roots.txt"), kOld, 0666);
    WriteAll(Path("labelled.txt"), kOld);
    ASSERT_EQ(0, ::chown(Path("labelled.txt").c_str(), kNobody, kNobody));
    ASSERT_EQ(0, ::setxattr(Path("labelled.txt").c_str(), "security.taplore", "kept", 4, 0));
    const std::string shelf = Path("shelf");
    fs::create_directory(shelf);
    WriteAll(shelf + "/handed-over.txt", kOld, 0666);
    fs::permissions(shelf, static_cast<fs::perms>(0555));

    EXPECT_EQ(CFileException::none, Save(Path("linked.txt")));
    EXPECT_EQ(CFileException::none, SaveWithoutPrivileges(Path("roots.txt")));
    EXPECT_EQ(CFileException::none, SaveWithoutPrivileges(Path("labelled.txt")));
    EXPECT_EQ(CFileException::none, SaveWithoutPrivileges(shelf + "/handed-over.txt"));

    for (const char* name : {"linked.txt", "other-name.txt", "roots.txt", "labelled.txt"})
        EXPECT_EQ(kTapsText, ReadAll(Path(name))) << name;
    EXPECT_EQ(kTapsText, ReadAll(shelf + "/handed-over.txt"));
    EXPECT_EQ(2u, fs::hard_link_count(Path("linked.txt")));
    struct stat roots;
    ASSERT_EQ(0, ::stat(Path("roots.txt").c_str(), &roots));
    EXPECT_EQ(0u, roots.st_uid);
    EXPECT_EQ(0u, roots.st_gid);
    EXPECT_EQ("kept", Attribute(Path("labelled.txt"), "security.taplore"));
    EXPECT_EQ((Names{"labelled.txt", "linked.txt", "other-name.txt", "roots.txt", "shelf"}),
              NamesIn(m_folder));
    EXPECT_EQ(Names{"handed-over.txt"}, NamesIn(shelf));
}

TEST_F(FileOutput, SaveKilledMidWriteLeavesNoTemporaryFile) {
    if (!HasUnnamedFiles())
        GTEST_SKIP() << "this file system has no unnamed temporary files";
    WriteAll(Path("coef.txt"), kOld);
    for (const char* name : {"coef.txt", "fresh.txt"}) {
        const pid_t save = StartSaveStoppedMidWrite(Path(name));
        ASSERT_GT(save, 0) << name;
        EXPECT_EQ(-SIGKILL, Finish(save, SIGKILL)) << name;
    }
    EXPECT_EQ(kOld, ReadAll(Path("coef.txt")));
    EXPECT_EQ(Names{"coef.txt"}, NamesIn(m_folder));
}

TEST_F(FileOutput, ReadOnlyFileOrNewFileInReadOnlyFolderIsAccessDenied) {
    const std::string shelf = Path("shelf");
    fs::create_directory(shelf);
    WriteAll(Path("read-only.txt"), kOld, 0444);
    fs::permissions(shelf, static_cast<fs::perms>(0555));
    fs::permissions(m_folder, static_cast<fs::perms>(0777));

    EXPECT_EQ(CFileException::accessDenied, SaveWithoutPrivileges(Path("read-only.txt")));
    EXPECT_EQ(CFileException::accessDenied, SaveWithoutPrivileges(shelf + "/new.txt"));
    EXPECT_EQ(kOld, ReadAll(Path("read-only.txt")));
    EXPECT_EQ((Names{"read-only.txt", "shelf"}), NamesIn(m_folder));
    EXPECT_EQ(Names{}, NamesIn(shelf));
}

TEST_F(FileOutput, BadPathsFailWithTheirCause) {
    WriteAll(Path("plain.txt"), kOld);
    fs::create_symlink("pong", Path("ping"));
    fs::create_symlink("ping", Path("pong"));
    EXPECT_EQ(CFileException::fileNotFound, Save(Path("missing/coef.txt")));
    EXPECT_EQ(CFileException::fileNotFound, Save(""));
    EXPECT_EQ(CFileException::accessDenied, Save(m_folder));
    EXPECT_EQ(CFileException::accessDenied, Save(Path("not-yet-a-folder/")));
    EXPECT_EQ(CFileException::badPath, Save(Path("plain.txt/coef.txt")));
    EXPECT_EQ(CFileException::badPath, Save(Path("ping")));
    EXPECT_EQ(kOld, ReadAll(Path("plain.txt")));
    EXPECT_EQ((Names{"ping", "plain.txt", "pong"}), NamesIn(m_folder));
}

TEST_F(FileOutput, LockedFileIsASharingViolationAndAFailedWriteIsDiskFull) {
    const std::string path = Path("coef.txt");
    WriteAll(path, kOld);
    const int holder = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(0, ::flock(holder, LOCK_EX));
    EXPECT_EQ(CFileException::sharingViolation, Save(path));
    ::close(holder);

    // A saver holds its own lock, whether it replaces the file or writes it in place; its
    // failed write is a full disk, and a replacement leaves the old file as it was.
    WriteAll(Path("linked.txt"), kOld);
    fs::create_hard_link(Path("linked.txt"), Path("other-name.txt"));
    for (const std::string& busy : {path, Path("linked.txt")}) {
        const pid_t first = StartSaveStoppedMidWrite(busy);
        ASSERT_GT(first, 0) << busy;
        EXPECT_EQ(CFileException::sharingViolation, Save(busy)) << busy;
        EXPECT_EQ(CFileException::diskFull, Finish(first, SIGCONT)) << busy;
    }
    EXPECT_EQ(kOld, ReadAll(path));
    EXPECT_EQ((Names{"coef.txt", "linked.txt", "other-name.txt"}), NamesIn(m_folder));
    EXPECT_EQ(CFileException::none, Save(path));
    EXPECT_EQ(kTapsText, ReadAll(path));
}

TEST_F(FileOutput, AnotherProgramsWriteLockOnAnyPartIsASharingViolation) {
    const std::string path = Path("coef.txt");
    const struct {
        short type;
        off_t start, length;
        CFileException::Cause cause;
    } cases[] = {
        {F_WRLCK, 0, 0, CFileException::sharingViolation},
        {F_WRLCK, 3, 2, CFileException::sharingViolation},
        {F_RDLCK, 0, 0, CFileException::none}, // a reader's lock keeps nobody from saving
    };
    for (const auto& c : cases) {
        WriteAll(path, kOld);
        const pid_t holder = StartRecordLockHolder(path, c.type, c.start, c.length);
        ASSERT_GT(holder, 0);
        EXPECT_EQ(c.cause, Save(path)) << c.type << " from " << c.start;
        EXPECT_EQ(c.cause == CFileException::none ? kTapsText : kOld, ReadAll(path));
        Finish(holder, SIGKILL);
    }
}

// Renaming onto a mount point is refused with EBUSY, as onto a file bound in by a container.
TEST_F(FileOutput, RefusedRenameNamesItsCauseAndKeepsTheOldFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    const std::string path = Path("coef.txt");
    WriteAll(path, kOld);
    WriteAll(Path("bound.txt"), "bound\r\n");
    if (const std::string refused = Mount(Path("bound.txt"), path, nullptr, MS_BIND);
        !refused.empty())
        GTEST_SKIP() << refused;

    EXPECT_EQ(CFileException::sharingViolation, Save(path));
    EXPECT_EQ("bound\r\n", ReadAll(path));
    EXPECT_EQ((Names{"bound.txt", "coef.txt"}), NamesIn(m_folder));
}

TEST_F(FileOutput, TooSmallFileSystemIsDiskFullAndKeepsTheOldContent) {
    if (::geteuid() != 0)
        GTEST_SKIP() << kNeedsRoot;
    const std::string small = Path("small");
    fs::create_directory(small);
    if (const std::string refused = Mount("tmpfs", small, "tmpfs", 0, "size=64k"); !refused.empty())
        GTEST_SKIP() << refused;
    // 64 kB hold 16 pages: the long text takes 9 of them, the short one 1.
    std::string longOld;
    while (longOld.size() < 33000)
        longOld += kOld;
    WriteAll(small + "/replaced.txt", kOld);
    WriteAll(small + "/linked.txt", longOld);
    fs::create_hard_link(small + "/linked.txt", small + "/other-name.txt");
    const std::vector<double> tooMany(20000, 0.125); // 200 kB

    EXPECT_EQ(CFileException::diskFull, Save(small + "/replaced.txt", tooMany));
    EXPECT_EQ(CFileException::diskFull, Save(small + "/linked.txt", tooMany));
    EXPECT_EQ(kOld, ReadAll(small + "/replaced.txt"));
    EXPECT_TRUE(ReadAll(small + "/other-name.txt") == longOld) << "the long old text is lost";
    EXPECT_EQ((Names{"linked.txt", "other-name.txt", "replaced.txt"}), NamesIn(small));

    // 40 kB fit only in the 9 pages the long text frees and the 6 still free.
    EXPECT_EQ(CFileException::none, Save(small + "/linked.txt", std::vector<double>(4000, 1.0)));
    EXPECT_EQ(40000u, fs::file_size(small + "/other-name.txt"));

    // One byte more than the free and the freed pages hold needs one page more: refused before
    // the old text is truncated.
    struct statvfs room;
    ASSERT_EQ(0, ::statvfs(small.c_str(), &room));
    const std::uint64_t held =
        (fs::file_size(small + "/linked.txt") + room.f_frsize - 1) / room.f_frsize;
    const std::uint64_t pages = room.f_bfree + held;
    const std::string before = ReadAll(small + "/linked.txt");
    EXPECT_EQ(CFileException::diskFull,
              Save(small + "/linked.txt", TapsOfTextSize(pages * room.f_frsize + 1)));
    EXPECT_TRUE(ReadAll(small + "/other-name.txt") == before) << "the old text is lost";
    EXPECT_EQ(CFileException::none,
              Save(small + "/linked.txt", TapsOfTextSize(pages * room.f_frsize)));
}

TEST_F(FileOutput, DevicesAreWrittenInPlace) {
    if (!fs::is_character_file("/dev/full") || !fs::is_character_file("/dev/null"))
        GTEST_SKIP() << "no /dev/full or /dev/null";
    EXPECT_EQ(CFileException::diskFull, Save("/dev/full"));
    EXPECT_EQ(CFileException::none, Save("/dev/null")); // cannot be synced, which is no failure
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
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

// A save followed by progress: the share done each time it was asked, and the cause of its
// failure, if it failed. It stops when the share passes stopAt.
struct FollowedSave {
    std::optional<Cause> failure;
    std::vector<double> reports;
};

FollowedSave SaveFollowed(const std::string& path, const std::vector<double>& taps,
                          double stopAt = 2.0) {
    FollowedSave save;
    try {
        WriteCoefficientFile(path, taps.data(), static_cast<int>(taps.size()), [&](double done) {
            save.reports.push_back(done);
            return done <= stopAt;
        });
    } catch (const CFileException& e) {
        save.failure = e.m_cause;
    }
    return save;
}

// 600,000 taps of 10 bytes: formatted in several steps and written in two pieces.
const std::vector<double> kLongTaps(600'000, 0.125);

TEST_F(FileOutput, FollowedSaveReportsUpToTheEndAndWritesTheSameText) {
    const FollowedSave save = SaveFollowed(Path("coef.txt"), kLongTaps);
    ASSERT_EQ(std::nullopt, save.failure);
    EXPECT_GE(save.reports.size(), 5u);
    EXPECT_TRUE(std::is_sorted(save.reports.begin(), save.reports.end()));
    EXPECT_EQ(1.0, save.reports.back());
    EXPECT_EQ(6'000'000u, fs::file_size(Path("coef.txt")));
    EXPECT_EQ(ReadAll(Path("coef.txt")), FormatCoefficientText(kLongTaps.data(), 600'000));
}

// Cancel while the text is formatted and while it is written: the old file as it was, no new
// file, no temporary one, and a failure without a message to show.
TEST_F(FileOutput, StoppedSaveKeepsTheOldFileAndLeavesNothingBehind) {
    WriteAll(Path("coef.txt"), kOld, 0640);
    for (const double stopAt : {0.0, 0.3, 0.7}) {
        for (const char* name : {"coef.txt", "fresh.txt"}) {
            const FollowedSave save = SaveFollowed(Path(name), kLongTaps, stopAt);
            EXPECT_EQ(CFileException::none, save.failure) << "no message, at " << stopAt;
            EXPECT_LT(save.reports.back(), 1.0) << "stopped before the end";
        }
        EXPECT_EQ(kOld, ReadAll(Path("coef.txt")));
        EXPECT_EQ(0640u, PermissionBits(Path("coef.txt")));
        EXPECT_EQ(Names{"coef.txt"}, NamesIn(m_folder)) << "stopped at " << stopAt;
    }
}

// Once a hard-linked file is truncated for writing in place, only finishing gives it whole text.
TEST_F(FileOutput, FileWrittenInPlaceIsFinishedDespiteAStop) {
    WriteAll(Path("linked.txt"), kOld);
    fs::create_hard_link(Path("linked.txt"), Path("other-name.txt"));
    EXPECT_EQ(std::nullopt, SaveFollowed(Path("linked.txt"), kLongTaps, 0.7).failure);
    EXPECT_EQ(6'000'000u, fs::file_size(Path("other-name.txt")));
}

// Several of these no file-system case here can bring about: a read-only mount, a failing
// disk, an exhausted descriptor table.
TEST(FileFailureCause, EveryErrnoMapsToItsCause) {
    const std::pair<Cause, std::vector<int>> table[] = {
        {CFileException::fileNotFound, {ENOENT}},
        {CFileException::badPath, {ENOTDIR, ENAMETOOLONG, ELOOP, EINVAL}},
        {CFileException::tooManyOpenFiles, {EMFILE, ENFILE}},
        {CFileException::accessDenied, {EACCES, EPERM, EROFS, EISDIR}},
        {CFileException::invalidFile, {EBADF}},
        {CFileException::diskFull, {ENOSPC, EDQUOT, EFBIG}},
        {CFileException::hardIO, {EIO}},
        {CFileException::sharingViolation, {EBUSY, ETXTBSY, EWOULDBLOCK}},
        {CFileException::generic, {EEXIST, ENXIO, EXDEV}},
    };
    for (const auto& [cause, errors] : table)
        for (const int error : errors)
            EXPECT_EQ(cause, CFileException::CauseFromErrno(error)) << std::strerror(error);
}

} // namespace
