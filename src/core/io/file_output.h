#pragma once
// File output with the failure causes a desktop framework reports.

#include "core/progress.h"

#include <exception>
#include <memory>
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

#ifdef _WIN32
    // GetLastError() of any failed step but the writing of the content, mapped to its cause.
    static Cause CauseFromLastError(unsigned long error);
#else
    // errno of any failed step but the writing of the content, mapped to its cause.
    static Cause CauseFromErrno(int error);
#endif

    Cause m_cause;
    std::string m_strFileName;

private:
    std::string m_message;
};

// Writes bytes verbatim to path, through symbolic links to their target. An existing regular
// file is replaced atomically when the replacement can keep everything it had (hard links,
// owner, group, permission bits, ACL, extended attributes); otherwise, and for devices and
// pipes, it is written in place, a regular file only once the room for the text is checked.
// Throws CFileException; after a failed replacement the old file is exactly as it was.
// progress, when given, follows the writing; stopping it fails the save with the cause none,
// which has no message to show, wherever the old file can still be kept.
void WriteTextFile(const std::string& path, std::string_view bytes, const Progress& progress = {});

class TextFileWriter;

// WriteTextFile in two steps, for outputs that must all be written or none: the constructor does
// every part that can fail while the old file stays as it was (the content written aside, the
// target locked) and throws CFileException as WriteTextFile does; Commit() puts the content in
// place. Destroyed uncommitted, it leaves the old file untouched. A file written in place
// (devices, pipes, files with other hard links) is written only by Commit(). bytes must stay
// alive until the commit.
class PreparedTextFile {
public:
    PreparedTextFile(const std::string& path, std::string_view bytes,
                     const Progress& progress = {});
    ~PreparedTextFile();
    PreparedTextFile(PreparedTextFile&&) noexcept;
    PreparedTextFile& operator=(PreparedTextFile&&) = delete;

    void Commit();

private:
    std::unique_ptr<TextFileWriter> m_writer;
};
