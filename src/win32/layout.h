#pragma once
// Where the template's sizes are too small for the text the dialog's font gives them.

#include <windows.h>

#include <string_view>

// Widens a static or edit control evenly on both sides until text fits in it with its
// borders and margins; a control wide enough already stays as it is.
void WidenToFitText(HWND control, std::string_view text);
