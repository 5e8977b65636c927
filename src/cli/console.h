#pragma once
// Where taplore-design's work writes: the caller's streams, the progress line on the message
// stream, and the exit statuses its reports end with.

#include "cli/progress_line.h"

#include <ostream>
#include <string>

constexpr const char* kProgram = "taplore-design";

constexpr int kDone = 0;
constexpr int kFailed = 1;  // the design, its fixed-point form, the spectrum or the output failed
constexpr int kRefused = 2; // the arguments were refused before any work

struct Console {
    std::ostream& out;
    std::ostream& err;
    ProgressLine progress;
};

// Shows message as one line on the message stream, after the program's name; returns status.
int Report(Console& console, int status, const std::string& message);

// The same for a line that does not end the work.
void Warn(Console& console, const std::string& message);
