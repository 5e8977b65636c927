#pragma once
// Reading a whole file, for the taps read back: the counterpart of the file writer, with the
// same failure causes.

#include <string>

// The bytes of the file at path, through symbolic links. Throws CFileException with the cause
// of the open or read that failed (badPath for a name that is not UTF-8 on Windows).
std::string ReadWholeFile(const std::string& path);
