#include "win32/window_text.h"

#include "core/io/windows/wide_text.h"

#include <vector>

std::wstring Wide(std::string_view utf8) {
    return WideFromUtf8(utf8).value_or(std::wstring());
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8FromWide(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
    ::SetWindowTextW(window, Wide(text).c_str());
}

// A path may be longer than MAX_PATH: the buffer grows until the whole path fits.
std::string ExecutablePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size())
            return Utf8FromWide(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
}
