#pragma once
// What every system's WriteTextFile shares: the temporary file's name and the loop that
// writes the content.

#include "core/io/file_output.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Names tried for a temporary file before giving up: a clash is already rare on the first.
constexpr int kTempNameAttempts = 100;

// A name for a temporary file in folder (given with its final separator, or "" for the
// current folder), hidden where a dot hides it, that no other file is likely to have.
std::string TemporaryFileName(const std::string& folder);

// Takes what it can of the bytes it is given and returns how many; 0 or less on failure.
using WriteSome = std::function<std::int64_t(std::string_view bytes)>;

// Writes all of bytes through writeSome. A failed write is always reported as a full disk
// on name, whatever the system said. progress follows the pieces written; when it stops the
// save and the save is still stoppable (the old content not yet given up), the cause is none.
void WriteContent(const std::string& name, std::string_view bytes, const WriteSome& writeSome,
                  const Progress& progress, bool stoppable);
