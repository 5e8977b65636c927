#pragma once
// The checks that join several of taplore-design's options, once every option has been read.

#include "cli/request.h"

#include <CLI/CLI.hpp>

// Refuses, by throwing CLI11's errors, what the options given cannot mean together; settles
// what they leave to each other.
void CheckTogether(const CLI::App& app, Request& request);
