#include "core/file_output.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Large enough that a million short lines cost a few hundred system calls.
constexpr std::size_t kBufferBytes = 64 * 1024;
// The depth at which the kernel, too, gives up following links.
constexpr int kMaxLinkDepth = 40;
constexpr int kTempNameAttempts = 100;

std::string_view CauseText(CFileException::Cause cause) {
    switch (cause) {
    case CFileException::none:
        return "No error occurred.";
    case CFileException::generic:
        break;
    case CFileException::fileNotFound:
        return "%1 was not found.";
    case CFileException::badPath:
        return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles:
        return "%1 could not be opened because there are too many open files.";
    case CFileException::accessDenied:
        return "Access to %1 was denied.";
    case CFileException::invalidFile:
        return "An invalid file handle was associated with %1.";
    case CFileException::removeCurrentDir:
        return "%1 could not be removed because it is the current directory.";
    case CFileException::directoryFull:
        return "%1 could not be created because the directory is full.";
    case CFileException::badSeek:
        return "Seek failed on %1";
    case CFileException::hardIO:
        return "A hardware I/O error was reported while accessing %1.";
    case CFileException::sharingViolation:
        return "A sharing violation occurred while accessing %1.";
    case CFileException::lockViolation:
        return "A locking violation occurred while accessing %1.";
    case CFileException::diskFull:
        return "Disk full while accessing %1.";
    case CFileException::endOfFile:
        return "An attempt was made to access %1 past its end.";
    }
    return "An unknown error occurred while accessing %1.";
}

// The folder part of a path with its final "/", or "" for a bare name.
std::string DirectoryPrefix(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

std::string RandomSuffix(std::random_device& random) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix(12, '0');
    for (char& c : suffix)
        c = kDigits[random() % (sizeof kDigits - 1)];
    return suffix;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

CFileException::CFileException(Cause cause, std::string fileName)
    : m_cause(cause), m_strFileName(std::move(fileName)), m_message(Message()) {}

std::string CFileException::Message() const {
    std::string text(CauseText(m_cause));
    const std::size_t placeholder = text.find("%1");
    if (placeholder != std::string::npos)
        text.replace(placeholder, 2, m_strFileName.empty() ? "an unnamed file" : m_strFileName);
    return text;
}

const char* CFileException::what() const noexcept {
    return m_message.c_str();
}

CFileException::Cause CFileException::CauseFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return diskFull;
    case EIO:
        return hardIO;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return sharingViolation;
    default:
        return generic;
    }
}

struct CStdioFile::Impl {
    explicit Impl(std::string chosenName) : name(std::move(chosenName)) {}
    ~Impl() { Abandon(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void Open();
    void Write(std::string_view text);
    void Close();

private:
    std::string FollowLinks(std::string path);
    void LockAndReplace(const struct stat& existing);
    void CreateTemporary();
    void OpenInPlace();
    void Flush();
    bool Sync() const;
    bool ApplyKeptMode() const;
    bool CloseOutput();
    void ReleaseLock();
    void Abandon() noexcept;
    [[noreturn]] void Fail(CFileException::Cause cause);
    [[noreturn]] void FailFromErrno();

    std::string name;     // as chosen, for messages
    std::string target;   // the file finally written: the name with its links followed
    std::string tempPath; // empty when writing in place
    int fd = -1;          // where the bytes go: the temporary file or the target itself
    int lockFd = -1;      // the file being replaced, locked until the rename
    std::optional<mode_t> keptMode;
    std::string buffer;
    bool closed = false;
};

void CStdioFile::Impl::Open() {
    target = FollowLinks(name);
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISREG(existing.st_mode))
            LockAndReplace(existing);
        else
            OpenInPlace();
    } else if (errno == ENOENT) {
        CreateTemporary();
    } else {
        FailFromErrno();
    }
    buffer.reserve(kBufferBytes + kBufferBytes / 2);
}

// Follows the final component's symbolic links, also to a target that does not exist yet,
// so that the replacement lands where the link points and the link stays a link.
std::string CStdioFile::Impl::FollowLinks(std::string path) {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::string linked(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), linked.data(), linked.size());
        if (length < 0)
            FailFromErrno();
        linked.resize(static_cast<std::size_t>(length));
        path = linked.starts_with('/') ? linked : DirectoryPrefix(path) + linked;
    }
    errno = ELOOP;
    FailFromErrno();
}

// Opening the old file for writing (without truncating it) refuses a read-only file even in
// a writable folder; its lock keeps a second writer out until the new content is in place.
void CStdioFile::Impl::LockAndReplace(const struct stat& existing) {
    lockFd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (lockFd < 0 || ::flock(lockFd, LOCK_EX | LOCK_NB) != 0)
        FailFromErrno();
    keptMode = existing.st_mode & 07777;
    CreateTemporary();
}

// Created with 0666 like any new file, so the umask and default ACLs apply. A name that is
// empty or ends in "/" can never become a file, so nothing is written for it.
void CStdioFile::Impl::CreateTemporary() {
    if (target.empty() || target.ends_with('/')) {
        errno = target.empty() ? ENOENT : EISDIR;
        FailFromErrno();
    }
    std::random_device random;
    const std::string prefix = DirectoryPrefix(target) + ".taplore-";
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = prefix + RandomSuffix(random);
        fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath = std::move(candidate);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    FailFromErrno();
}

// Devices and pipes are written as they are. Opening without blocking keeps a pipe that
// nobody reads from hanging the program; the writes themselves block as usual.
void CStdioFile::Impl::OpenInPlace() {
    fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        FailFromErrno();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        FailFromErrno();
}

void CStdioFile::Impl::Write(std::string_view text) {
    if (fd < 0)
        Fail(CFileException::diskFull);
    buffer.append(text);
    if (buffer.size() >= kBufferBytes)
        Flush();
}

void CStdioFile::Impl::Flush() {
    if (!WriteAll(fd, buffer))
        Fail(CFileException::diskFull);
    buffer.clear();
}

void CStdioFile::Impl::Close() {
    if (closed)
        return;
    if (fd < 0)
        Fail(CFileException::diskFull);
    Flush();
    if (!Sync() || !ApplyKeptMode() || !CloseOutput())
        Fail(CFileException::diskFull);
    if (!tempPath.empty() && std::rename(tempPath.c_str(), target.c_str()) != 0)
        Fail(CFileException::diskFull);
    tempPath.clear();
    ReleaseLock();
    closed = true;
}

// Devices and pipes cannot be synced; what they were given has already left the program.
bool CStdioFile::Impl::Sync() const {
    if (::fsync(fd) == 0)
        return true;
    return tempPath.empty() && (errno == EINVAL || errno == EROFS);
}

bool CStdioFile::Impl::ApplyKeptMode() const {
    return !keptMode || ::fchmod(fd, *keptMode) == 0;
}

bool CStdioFile::Impl::CloseOutput() {
    return ::close(std::exchange(fd, -1)) == 0;
}

void CStdioFile::Impl::ReleaseLock() {
    if (lockFd >= 0)
        ::close(std::exchange(lockFd, -1));
}

void CStdioFile::Impl::Abandon() noexcept {
    if (fd >= 0)
        ::close(std::exchange(fd, -1));
    if (!tempPath.empty())
        ::unlink(std::exchange(tempPath, std::string()).c_str());
    ReleaseLock();
}

void CStdioFile::Impl::Fail(CFileException::Cause cause) {
    Abandon();
    throw CFileException(cause, name);
}

void CStdioFile::Impl::FailFromErrno() {
    Fail(CFileException::CauseFromErrno(errno));
}

CStdioFile::CStdioFile(const std::string& path) {
    auto impl = std::make_unique<Impl>(path);
    impl->Open();
    m_pImpl = impl.release();
}

CStdioFile::~CStdioFile() {
    delete m_pImpl;
}

void CStdioFile::WriteString(std::string_view text) {
    m_pImpl->Write(text);
}

void CStdioFile::Close() {
    m_pImpl->Close();
}

void WriteTextFile(const std::string& path, std::string_view bytes) {
    CStdioFile file(path);
    file.WriteString(bytes);
    file.Close();
}
