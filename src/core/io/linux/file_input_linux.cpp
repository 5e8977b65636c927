#include "core/io/file_input.h"

#include "core/io/file_output.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Closes the descriptor however the reading ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string ReadWholeFile(const std::string& path) {
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throw CFileException(CFileException::CauseFromErrno(errno), path);
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got == 0)
            return bytes;
        if (got < 0 && errno != EINTR)
            throw CFileException(CFileException::CauseFromErrno(errno), path);
        if (got > 0)
            AppendWithinMemory(bytes, buffer, static_cast<std::size_t>(got));
    }
}
