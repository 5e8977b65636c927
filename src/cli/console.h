#pragma once
// Where taplore-design's work writes: the caller's streams, the progress line on the message
// stream, and the exit statuses its reports end with.

#include "cli/progress_line.h"
#include "core/formats/taps_description.h"

#include <ostream>
#include <string>
#include <string_view>

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

// A design's report as one block on the message stream: its title, then its notes.
void ShowReport(Console& console, const taplore::TapsDescription& report);

// An argument's text as a message may echo it: control bytes, and bytes that are not UTF-8,
// shown as escapes (\n, \x1b), and a text longer than kEchoedLength characters cut with "…".
constexpr std::size_t kEchoedLength = 80;
std::string Echoed(std::string_view text);
