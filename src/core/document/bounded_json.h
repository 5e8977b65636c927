#pragma once
// JSON text parsed into a tree no larger than a design document needs: nlohmann-json's own
// tree, built here so that a count, a depth and the bands' array are bounded while they are
// read, and numbers are read by the program's own rules, never by the process locale.

#include <nlohmann/json.hpp>

#include <string_view>

namespace taplore::document {

using Json = nlohmann::ordered_json;

// The tree of text. Throws DocumentError: at the line and column of malformed JSON, or with
// the bound exceeded.
Json ParseBounded(std::string_view text);

} // namespace taplore::document
