#include "core/io/file_output_common.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The depth at which the kernel, too, gives up following links.
constexpr int kMaxLinkDepth = 40;

// The folder part of a path with its final "/", or "" for a bare name.
std::string DirectoryPrefix(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

// One write(2), repeated while a signal interrupts it before anything is written.
std::int64_t WriteSomeTo(int fd, std::string_view bytes) {
    for (;;) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written >= 0 || errno != EINTR)
            return written;
    }
}

} // namespace

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

namespace {

using Cause = CFileException::Cause;

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    int Get() const { return m_fd; }
    void Release() { m_fd = -1; }
    bool Close() { return m_fd < 0 || ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd = -1;
};

// The new content before it takes the file's name. Unnamed where the file system allows,
// so that a killed program or a power cut leaves nothing behind; a name it has is removed
// again unless the file was put in place.
struct Temporary {
    Temporary() = default;
    ~Temporary() {
        if (!path.empty())
            ::unlink(path.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    Descriptor fd;
    std::string path;
};

// Errors saying that this user may not give an attribute to another file, as opposed to
// something having broken.
bool AttributeRefused(int error) {
    return error == EPERM || error == EACCES || error == ENOTSUP || error == EOPNOTSUPP;
}

bool ListAttributes(int fd, std::vector<std::string>& names) {
    names.clear();
    std::string list;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP; // a file system without attributes has none to keep
        list.resize(static_cast<std::size_t>(size));
        const ssize_t listed = ::flistxattr(fd, list.data(), list.size());
        if (listed >= 0) {
            list.resize(static_cast<std::size_t>(listed));
            break;
        }
        if (errno != ERANGE) // ERANGE: an attribute was added meanwhile
            return false;
    }
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool ReadAttribute(int fd, const std::string& name, std::string& value) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t read = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (read >= 0) {
            value.resize(static_cast<std::size_t>(read));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Links a descriptor's file under path. Through /proc any user may; without it only a
// privileged process can.
bool LinkDescriptor(int fd, const std::string& path) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, fd).ptr;
    const std::string self = "/proc/self/fd/" + std::string(digits, end);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    const int error = errno;
    if (error != ENOENT || ::access("/proc/self/fd", F_OK) == 0) {
        errno = error;
        return false;
    }
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0;
}

// Whether the file system has room for size bytes once the file's own blocks are freed by
// truncating it. Root may use the blocks kept in reserve; a file system that reports no
// blocks at all cannot tell, and is trusted.
bool RoomFor(int fd, const struct stat& file, std::uint64_t size) {
    struct statvfs room;
    if (::fstatvfs(fd, &room) != 0 || room.f_blocks == 0)
        return true;
    const std::uint64_t block = room.f_frsize != 0 ? room.f_frsize : room.f_bsize;
    if (block == 0)
        return true;
    const std::uint64_t free = ::geteuid() == 0 ? room.f_bfree : room.f_bavail;
    const std::uint64_t held = static_cast<std::uint64_t>(file.st_blocks) * 512 / block;
    return size / block + (size % block != 0) <= free + held;
}

// Whether another program holds a write lock on any part of the file through fcntl or lockf,
// which flock does not see. The open file description's query sees such a lock of this process
// too, as another open of the file would.
bool WriteLockedElsewhere(int fd) {
    struct flock query {};
    query.l_type = F_RDLCK; // conflicts with write locks only
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 0; // to the end
    return ::fcntl(fd, F_OFD_GETLK, &query) == 0 && query.l_type != F_UNLCK;
}

} // namespace

// Writes in two steps: Prepare() does all the work that can fail while the old file stays as it
// was (the new content written aside, the old file locked), Commit() puts it in place. Files
// that are written in place, devices and pipes, are written only by Commit().
class TextFileWriter {
public:
    TextFileWriter(const std::string& name, std::string_view bytes, const Progress& progress)
        : m_name(name), m_bytes(bytes), m_progress(progress) {}

    void Prepare();
    void Commit();

private:
    // What Commit() does once Prepare() has succeeded.
    enum class Step { publishNew, publishReplacement, inPlace, device, done };

    std::string FollowLinks(std::string path) const;
    std::string ReadLink(const std::string& path, const struct stat& status) const;
    void CreateNew();
    bool TryReplace(const struct stat& old);
    void WriteInPlace(const struct stat& old);
    void WriteDevice();
    bool OpenTemporary(Temporary& temp) const;
    bool CopyAttributes(int from, int to) const;
    void Publish(Temporary& temp, bool replacing) const;
    std::string LinkUnderTemporaryName(int fd) const;
    void WriteContent(int fd, bool stoppable = true) const;

    [[noreturn]] void Fail(Cause cause) const { throw CFileException(cause, m_name); }
    [[noreturn]] void FailWith(int error) const { Fail(CFileException::CauseFromErrno(error)); }
    [[noreturn]] void FailFromErrno() const { FailWith(errno); }

    const std::string m_name; // as chosen, for messages
    std::string_view m_bytes;
    const Progress m_progress;
    std::string m_target;  // the file finally written: the name with its links followed
    std::string m_folder;  // the target's folder with its final "/", or "" for a bare name
    Descriptor m_existing; // the file being written over, locked until the end
    Temporary m_temp;      // the new content, written aside
    struct stat m_old {};  // the file being written over, as it was
    Step m_step = Step::done;
};

void TextFileWriter::Prepare() {
    m_target = FollowLinks(m_name);
    // Such a name can never become a file, so nothing is written for it.
    if (m_target.empty())
        FailWith(ENOENT);
    if (m_target.ends_with('/'))
        FailWith(EISDIR);
    m_folder = DirectoryPrefix(m_target);

    // Opening without truncating refuses a read-only file before anything changes; without
    // blocking, so that a pipe nobody reads from never hangs the program.
    m_existing.Reset(::open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (m_existing.Get() < 0) {
        if (errno != ENOENT)
            FailFromErrno();
        CreateNew();
        m_step = Step::publishNew;
        return;
    }
    const int fd = m_existing.Get();
    struct stat& old = m_old;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &old) != 0)
        FailFromErrno();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        FailFromErrno();

    if (S_ISREG(old.st_mode) && WriteLockedElsewhere(fd))
        Fail(CFileException::sharingViolation);
    if (!S_ISREG(old.st_mode))
        m_step = Step::device;
    else if (old.st_nlink > 1 || !TryReplace(old)) // a replacement would leave the links behind
        m_step = Step::inPlace;
    else
        m_step = Step::publishReplacement;
}

void TextFileWriter::Commit() {
    switch (std::exchange(m_step, Step::done)) {
    case Step::publishNew:
        Publish(m_temp, false);
        break;
    case Step::publishReplacement:
        Publish(m_temp, true);
        break;
    case Step::inPlace:
        WriteInPlace(m_old);
        break;
    case Step::device:
        WriteDevice();
        break;
    case Step::done:
        break;
    }
}

// The whole target of a link. Its size as lstat gives it is only a hint: 0 on /proc, and stale
// when the link is replaced meanwhile; a cut-off target would send the text somewhere else.
std::string TextFileWriter::ReadLink(const std::string& path, const struct stat& status) const {
    std::string linked(std::max<std::size_t>(static_cast<std::size_t>(status.st_size), 255) + 1,
                       '\0');
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), linked.data(), linked.size());
        if (length < 0)
            FailFromErrno();
        if (static_cast<std::size_t>(length) < linked.size()) {
            linked.resize(static_cast<std::size_t>(length));
            return linked;
        }
        linked.resize(linked.size() * 2);
    }
}

// Follows the final component's symbolic links, also to a target that does not exist yet,
// so that the replacement lands where the link points and the link stays a link.
std::string TextFileWriter::FollowLinks(std::string path) const {
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        const std::string linked = ReadLink(path, status);
        path = linked.starts_with('/') ? linked : DirectoryPrefix(path) + linked;
    }
    FailWith(ELOOP);
}

void TextFileWriter::CreateNew() {
    Temporary& temp = m_temp;
    if (!OpenTemporary(temp))
        FailFromErrno();
    WriteContent(temp.fd.Get());
    if (::fsync(temp.fd.Get()) != 0)
        Fail(CFileException::diskFull);
}

// Replaces the old file with one that has all it had. False, with nothing changed, where
// this user cannot create the replacement or give it the old owner, group or attributes.
bool TextFileWriter::TryReplace(const struct stat& old) {
    Temporary temp;
    if (!OpenTemporary(temp)) {
        if (errno == EACCES || errno == EPERM) // a folder this user may not write to
            return false;
        FailFromErrno();
    }
    const int fd = temp.fd.Get();
    struct stat made;
    if (::fstat(fd, &made) != 0)
        FailFromErrno();
    // Owner and group first: giving them away clears set-ID bits and file capabilities.
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno == EPERM || errno == EINVAL) // not this user's to give, or unmapped
            return false;
        FailFromErrno();
    }
    WriteContent(fd);
    // Writing clears set-ID bits and capabilities too, so attributes and mode come after.
    if (!CopyAttributes(m_existing.Get(), fd))
        return false;
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        FailFromErrno();
    if (::fsync(fd) != 0)
        Fail(CFileException::diskFull);
    // Kept aside, for Commit() to put in place.
    m_temp.fd.Reset(fd);
    temp.fd.Release();
    m_temp.path = std::exchange(temp.path, {});
    return true;
}

// Where a replacement would lose something. Once the file is truncated its old content is
// gone, so the shortage of room the file system reports is found before.
void TextFileWriter::WriteInPlace(const struct stat& old) {
    const int fd = m_existing.Get();
    if (!RoomFor(fd, old, m_bytes.size()))
        FailWith(ENOSPC);
    if (::ftruncate(fd, 0) != 0)
        FailFromErrno();
    WriteContent(fd, false); // the old content is gone: only finishing leaves a whole file
    if (::fsync(fd) != 0 || !m_existing.Close())
        Fail(CFileException::diskFull);
}

// Devices and pipes cannot be synced; what they were given has already left the program.
void TextFileWriter::WriteDevice() {
    WriteContent(m_existing.Get());
    if (::fsync(m_existing.Get()) != 0 && errno != EINVAL && errno != EROFS)
        Fail(CFileException::diskFull);
    if (!m_existing.Close())
        Fail(CFileException::diskFull);
}

// Created with 0666 like any new file, so that the umask and a default ACL apply to it.
bool TextFileWriter::OpenTemporary(Temporary& temp) const {
    const std::string folder = m_folder.empty() ? "." : m_folder;
    temp.fd.Reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (temp.fd.Get() >= 0)
        return true;
    if (errno != EOPNOTSUPP && errno != EISDIR) // EISDIR: a kernel without O_TMPFILE
        return false;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = TemporaryFileName(m_folder);
        temp.fd.Reset(::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (temp.fd.Get() >= 0) {
            temp.path = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Makes the attributes of to (the ACL among them) those of from: adds, changes and removes.
// False where this user may not; other failures throw.
bool TextFileWriter::CopyAttributes(int from, int to) const {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!ListAttributes(from, wanted) || !ListAttributes(to, present)) {
        if (AttributeRefused(errno))
            return false;
        FailFromErrno();
    }
    // A default ACL of the folder may have given the new file an ACL the old one lacks.
    for (const std::string& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) != wanted.end())
            continue;
        if (::fremovexattr(to, name.c_str()) != 0 && errno != ENODATA) {
            if (AttributeRefused(errno))
                return false;
            FailFromErrno();
        }
    }
    std::string value;
    std::string current;
    for (const std::string& name : wanted) {
        if (!ReadAttribute(from, name, value)) {
            if (errno == ENODATA) // removed meanwhile
                continue;
            if (AttributeRefused(errno))
                return false;
            FailFromErrno();
        }
        // Setting only what differs spares labels the system gave the new file already.
        if (ReadAttribute(to, name, current) && current == value)
            continue;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            if (AttributeRefused(errno))
                return false;
            FailFromErrno();
        }
    }
    return true;
}

// Gives the finished temporary file the target's name. A new file is linked in under it
// directly; a replacement is linked under a temporary name and renamed over the old file,
// the only moment a killed program could leave a name behind.
void TextFileWriter::Publish(Temporary& temp, bool replacing) const {
    bool placed = false;
    if (temp.path.empty()) {
        if (!replacing) {
            placed = LinkDescriptor(temp.fd.Get(), m_target);
            if (!placed && errno != EEXIST) // EEXIST: created meanwhile, so replaced instead
                FailFromErrno();
        }
        temp.path = placed ? m_target : LinkUnderTemporaryName(temp.fd.Get());
    }
    if (!temp.fd.Close())
        Fail(CFileException::diskFull);
    if (!placed && ::rename(temp.path.c_str(), m_target.c_str()) != 0)
        FailFromErrno();
    temp.path.clear();
}

std::string TextFileWriter::LinkUnderTemporaryName(int fd) const {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        std::string candidate = TemporaryFileName(m_folder);
        if (LinkDescriptor(fd, candidate))
            return candidate;
        if (errno != EEXIST)
            break;
    }
    FailFromErrno();
}

void TextFileWriter::WriteContent(int fd, bool stoppable) const {
    ::WriteContent(
        m_name, m_bytes, [fd](std::string_view bytes) { return WriteSomeTo(fd, bytes); },
        m_progress, stoppable);
}

void WriteTextFile(const std::string& path, std::string_view bytes, const Progress& progress) {
    TextFileWriter writer(path, bytes, progress);
    writer.Prepare();
    writer.Commit();
}

PreparedTextFile::PreparedTextFile(const std::string& path, std::string_view bytes,
                                   const Progress& progress)
    : m_writer(std::make_unique<TextFileWriter>(path, bytes, progress)) {
    m_writer->Prepare();
}

PreparedTextFile::~PreparedTextFile() = default;
PreparedTextFile::PreparedTextFile(PreparedTextFile&&) noexcept = default;

void PreparedTextFile::Commit() {
    m_writer->Commit();
}
