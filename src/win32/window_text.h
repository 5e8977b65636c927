#pragma once
// Texts in and out of windows: the program works in UTF-8, Windows in UTF-16.

#include <windows.h>

#include <string>
#include <string_view>

// UTF-16 of a UTF-8 text; bytes that are not UTF-8 give an empty text.
std::wstring Wide(std::string_view utf8);

std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// The full path of the running program.
std::string ExecutablePath();
