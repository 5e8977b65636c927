#pragma once
// The window classes of the program's own windows.

#include <windows.h>

// Registers a class with the arrow cursor. Without a background brush the window paints
// every pixel itself, so nothing is erased first.
void RegisterProgramClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                          HBRUSH background = nullptr, HICON icon = nullptr);
