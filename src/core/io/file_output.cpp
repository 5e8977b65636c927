#include "core/io/file_output_common.h"

#include <random>
#include <utility>

namespace {

// The content goes out in pieces of this size, between which a save can be followed and stopped.
constexpr std::size_t kWritePiece = std::size_t{4} << 20;

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

std::string RandomSuffix(std::random_device& random) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix(12, '0');
    for (char& c : suffix)
        c = kDigits[random() % (sizeof kDigits - 1)];
    return suffix;
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

std::string TemporaryFileName(const std::string& folder) {
    std::random_device random;
    return folder + ".taplore-" + RandomSuffix(random);
}

void WriteContent(const std::string& name, std::string_view bytes, const WriteSome& writeSome,
                  const Progress& progress, bool stoppable) {
    for (std::size_t written = 0; written < bytes.size();) {
        std::string_view piece = bytes.substr(written, kWritePiece);
        written += piece.size();
        while (!piece.empty()) {
            const std::int64_t taken = writeSome(piece);
            if (taken <= 0)
                throw CFileException(CFileException::diskFull, name);
            piece.remove_prefix(static_cast<std::size_t>(taken));
        }
        const double done = static_cast<double>(written) / static_cast<double>(bytes.size());
        if (progress && !progress(done) && stoppable)
            throw CFileException(CFileException::none, name);
    }
}
