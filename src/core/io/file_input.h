#pragma once
// Reading a whole file, for the taps read back: the counterpart of the file writer, with the
// same failure causes.

#include <cstddef>
#include <string>

// The bytes of the file at path, through symbolic links. Throws CFileException with the cause
// of the open or read that failed (badPath for a name that is not UTF-8 on Windows), and
// std::bad_alloc once the text would outgrow the free memory (a device that never ends).
std::string ReadWholeFile(const std::string& path);

// Appends count bytes to text, checking the free memory each time the text must grow.
void AppendWithinMemory(std::string& text, const char* bytes, std::size_t count);
