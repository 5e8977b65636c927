#include "core/io/file_input.h"

#include "core/io/file_output.h"
#include "core/io/windows/wide_text.h"

#include <windows.h>

namespace {

// Closes the handle however the reading ends.
struct Handle {
    HANDLE handle;
    ~Handle() {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};

} // namespace

std::string ReadWholeFile(const std::string& path, const InputBound& bound) {
    const std::optional<std::wstring> wide = WideFromUtf8(path);
    if (!wide)
        throw CFileException(CFileException::badPath, path);
    // Others may go on reading and writing it meanwhile, as with any viewer.
    const Handle file{::CreateFileW(wide->c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        throw CFileException(CFileException::CauseFromLastError(::GetLastError()), path);
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr))
            throw CFileException(CFileException::CauseFromLastError(::GetLastError()), path);
        if (got == 0)
            return bytes;
        AppendInput(bytes, buffer, got, bound);
    }
}

std::string ReadStandardInput() {
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    if (in == INVALID_HANDLE_VALUE || in == nullptr)
        throw CFileException(CFileException::invalidFile, "standard input");
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in, buffer, sizeof buffer, &got, nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_BROKEN_PIPE) // the writer closed its end: the end of the input
                return bytes;
            throw CFileException(CFileException::CauseFromLastError(error), "standard input");
        }
        if (got == 0)
            return bytes;
        AppendInput(bytes, buffer, got);
    }
}
