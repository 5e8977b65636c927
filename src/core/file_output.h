#pragma once
// Text-mode file output with the failure causes a desktop framework reports.
// Writing never loses data: an existing regular file is replaced atomically on Close().

#include <exception>
#include <string>
#include <string_view>

class CFileException : public std::exception {
public:
    enum Cause {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(Cause cause, std::string fileName);

    // The cause's sentence with the full path (or "an unnamed file") in place of %1.
    std::string Message() const;
    const char* what() const noexcept override;

    // errno of a failed open, create or lock, mapped to its cause.
    static Cause CauseFromErrno(int error);

    Cause m_cause;
    std::string m_strFileName;

private:
    std::string m_message;
};

// A file created (or truncated) for writing, with exclusive access. Bytes are written as
// given. Failures throw CFileException.
class CStdioFile {
public:
    explicit CStdioFile(const std::string& path); // opens; throws on failure
    ~CStdioFile();                                // abandons an unclosed file: old content stays
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    void WriteString(std::string_view text); // throws diskFull on failure
    void Close();                            // flushes, syncs, replaces; throws diskFull

private:
    struct Impl;
    Impl* m_pImpl;
};

// Writes bytes to path through CStdioFile: the whole text, or nothing of the old content lost.
void WriteTextFile(const std::string& path, std::string_view bytes);
