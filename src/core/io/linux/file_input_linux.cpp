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

// The descriptor's bytes to their end; a failed read throws, naming the file as name.
std::string ReadAll(int fd, const std::string& name, const InputBound& bound) {
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return bytes;
        if (got < 0 && errno != EINTR)
            throw CFileException(CFileException::CauseFromErrno(errno), name);
        if (got > 0)
            AppendInput(bytes, buffer, static_cast<std::size_t>(got), bound);
    }
}

} // namespace

std::string ReadWholeFile(const std::string& path, const InputBound& bound) {
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throw CFileException(CFileException::CauseFromErrno(errno), path);
    return ReadAll(file.fd, path, bound);
}

std::string ReadStandardInput() {
    return ReadAll(STDIN_FILENO, "standard input", InputBound{});
}
