#pragma once
// File output with the failure causes a desktop framework reports.

#include "core/progress.h"

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
