#include "core/io/file_output_common.h"
#include "core/io/windows/wide_text.h"

#include <windows.h>

#include <cstdint>
#include <utility>

CFileException::Cause CFileException::CauseFromLastError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        return fileNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
    case ERROR_NO_UNICODE_TRANSLATION:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: // the old file is in use
        return sharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return generic;
    }
}

namespace {

using Cause = CFileException::Cause;

// A handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool Close() {
        return !Valid() || ::CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE m_handle;
};

// The new content before it takes the file's name; deleted again unless it was put in place.
struct Temporary {
    Temporary() = default;
    ~Temporary() {
        file.Close();
        if (!path.empty())
            ::DeleteFileW(path.c_str());
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    Handle file;
    std::wstring path;
};

// One WriteFile of at most what a DWORD counts.
std::int64_t WriteSomeTo(HANDLE file, std::string_view bytes) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), chunk, &written, nullptr) ? written : -1;
}

bool EndsWithSeparator(const std::wstring& path) {
    return path.ends_with(L'\\') || path.ends_with(L'/');
}

class Writer {
public:
    Writer(const std::string& name, std::string_view bytes, const Progress& progress)
        : m_name(name), m_bytes(bytes), m_progress(progress) {}

    void Save();

private:
    std::wstring FullPath() const;
    bool OpenTemporary(Temporary& temp) const;
    void WriteTemporary(Temporary& temp) const;
    void CreateNew();
    void Replace();
    void WriteInPlace();
    bool RoomFor(std::uint64_t oldSize) const;
    void WriteContent(HANDLE file, bool stoppable = true) const;

    [[noreturn]] void Fail(Cause cause) const { throw CFileException(cause, m_name); }
    [[noreturn]] void FailFromLastError() const {
        Fail(CFileException::CauseFromLastError(::GetLastError()));
    }

    const std::string& m_name; // as chosen, for messages
    std::string_view m_bytes;
    const Progress& m_progress;
    std::wstring m_target; // the name made a full path, which ReplaceFileW needs
    std::wstring m_folder; // the target's folder with its final separator
    Handle m_existing;     // the file being written over, open until it is replaced
};

void Writer::Save() {
    // Such a name can never become a file, so nothing is written for it.
    if (m_name.empty())
        Fail(CFileException::fileNotFound);
    m_target = FullPath();
    if (EndsWithSeparator(m_target))
        Fail(CFileException::accessDenied);
    m_folder = m_target.substr(0, m_target.find_last_of(L"\\/") + 1);

    // Opening for writing refuses a read-only file before anything changes. A process holding
    // the file open without sharing makes this fail, and while this handle is open none can
    // open it so; sharing everything ourselves keeps the file open to other readers.
    m_existing.Reset(::CreateFileW(m_target.c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_existing.Valid()) {
        if (::GetLastError() != ERROR_FILE_NOT_FOUND)
            FailFromLastError();
        CreateNew();
        return;
    }
    // Devices and pipes are written as they are; a file with more than one name keeps its
    // links only when written in place.
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(m_existing.Get()) != FILE_TYPE_DISK)
        WriteContent(m_existing.Get());
    else if (!::GetFileInformationByHandle(m_existing.Get(), &info))
        FailFromLastError();
    else if (info.nNumberOfLinks > 1)
        WriteInPlace();
    else
        Replace();
}

std::wstring Writer::FullPath() const {
    const std::optional<std::wstring> wide = WideFromUtf8(m_name);
    if (!wide)
        Fail(CFileException::badPath);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()),
                                                full.data(), nullptr);
        if (length == 0)
            FailFromLastError();
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length); // the size it needs, with its terminating zero
    }
}

// Created without sharing, so nothing else reads the content before it is complete.
bool Writer::OpenTemporary(Temporary& temp) const {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::optional<std::wstring> candidate = WideFromUtf8(TemporaryFileName(""));
        temp.path = m_folder + *candidate;
        temp.file.Reset(::CreateFileW(temp.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (temp.file.Valid())
            return true;
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            temp.path.clear();
            return false;
        }
    }
    temp.path.clear();
    return false;
}

// The whole content on the disk before the temporary file takes the target's name.
void Writer::WriteTemporary(Temporary& temp) const {
    WriteContent(temp.file.Get());
    if (!::FlushFileBuffers(temp.file.Get()) || !temp.file.Close())
        Fail(CFileException::diskFull);
}

void Writer::CreateNew() {
    Temporary temp;
    if (!OpenTemporary(temp))
        FailFromLastError();
    WriteTemporary(temp);
    if (!::MoveFileExW(temp.path.c_str(), m_target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailFromLastError();
    temp.path.clear();
}

// ReplaceFileW gives the new file the old one's attributes, ACL and alternate streams, and
// leaves the old file as it was when it fails. A folder this user may not create files in
// leaves only writing in place.
void Writer::Replace() {
    Temporary temp;
    if (!OpenTemporary(temp)) {
        if (::GetLastError() == ERROR_ACCESS_DENIED) {
            WriteInPlace();
            return;
        }
        FailFromLastError();
    }
    WriteTemporary(temp);
    // ReplaceFileW opens the old file itself, and not every system lets it share our handle.
    m_existing.Close();
    if (!::ReplaceFileW(m_target.c_str(), temp.path.c_str(), nullptr, 0, nullptr, nullptr))
        FailFromLastError();
    temp.path.clear();
}

// Once the file is truncated its old content is gone, so a shortage of room is found before.
void Writer::WriteInPlace() {
    const HANDLE file = m_existing.Get();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        FailFromLastError();
    if (!RoomFor(static_cast<std::uint64_t>(size.QuadPart)))
        Fail(CFileException::diskFull);
    if (!::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !::SetEndOfFile(file))
        FailFromLastError();
    WriteContent(file, false); // the old content is gone: only finishing leaves a whole file
    if (!::FlushFileBuffers(file) || !m_existing.Close())
        Fail(CFileException::diskFull);
}

// Whether the folder's drive has room for the text once the old content's space is freed;
// a drive that cannot tell is trusted.
bool Writer::RoomFor(std::uint64_t oldSize) const {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(m_folder.c_str(), &available, nullptr, nullptr))
        return true;
    return m_bytes.size() <= available.QuadPart + oldSize;
}

void Writer::WriteContent(HANDLE file, bool stoppable) const {
    ::WriteContent(
        m_name, m_bytes, [file](std::string_view bytes) { return WriteSomeTo(file, bytes); },
        m_progress, stoppable);
}

} // namespace

void WriteTextFile(const std::string& path, std::string_view bytes, const Progress& progress) {
    Writer(path, bytes, progress).Save();
}

// Windows writes the file at the commit: the replacement there is atomic, but not split in two.
class TextFileWriter {
public:
    TextFileWriter(const std::string& path, std::string_view bytes, const Progress& progress)
        : m_path(path), m_bytes(bytes), m_progress(progress) {}
    void Commit() { WriteTextFile(m_path, m_bytes, m_progress); }

private:
    const std::string m_path;
    std::string_view m_bytes;
    const Progress m_progress;
};

PreparedTextFile::PreparedTextFile(const std::string& path, std::string_view bytes,
                                   const Progress& progress)
    : m_writer(std::make_unique<TextFileWriter>(path, bytes, progress)) {}

PreparedTextFile::~PreparedTextFile() = default;
PreparedTextFile::PreparedTextFile(PreparedTextFile&&) noexcept = default;

void PreparedTextFile::Commit() {
    m_writer->Commit();
}
