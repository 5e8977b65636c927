#pragma once
// The refusal of words that taplore-design's option parser could not place.

#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <string>

// The one line that refuses the words app could not parse, in the program's own words.
std::string ParseRefusal(const CLI::App& app, const CLI::ParseError& error,
                         const OptionExamples& examples);
