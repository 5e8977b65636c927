#pragma once
// The core's paths are UTF-8; Windows takes them as UTF-16 at every call.

#include <optional>
#include <string>
#include <string_view>

// nullopt for bytes that are not UTF-8.
std::optional<std::wstring> WideFromUtf8(std::string_view text);

std::string Utf8FromWide(std::wstring_view text);
