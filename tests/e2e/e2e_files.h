#pragma once
// The files a program under test writes, read and waited for from outside.

#include "x_session.h"

#include <filesystem>
#include <string>

namespace e2e {

// A new folder of the test's own under /tmp, named prefix and a random suffix, with an empty
// "files" folder in it for what the program saves.
std::filesystem::path NewCaseFolder(const std::string& prefix);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Waits until the file exists and its size is the same at two looks in a row, an interval
// apart; false when the timeout passes first.
bool WaitForCompleteFile(const std::filesystem::path& path, Millis timeout,
                         Millis interval = 100ms);

} // namespace e2e
