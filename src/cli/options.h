#pragma once
// taplore-design's options, each declared once with its reading and its help.

#include "cli/request.h"

#include <CLI/CLI.hpp>

#include <map>
#include <string>

// An example value of each option that takes one, by the option's long name.
using OptionExamples = std::map<std::string, std::string>;

// Declares every option on app. Each text is read into request as the words are parsed, or
// refused; the checks that join several options run once all are parsed. Returns the options'
// examples.
OptionExamples DeclareOptions(CLI::App& app, Request& request);
