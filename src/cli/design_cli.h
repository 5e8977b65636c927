#pragma once
// taplore-design's work, callable in-process: the program's entry and its fuzz target run it.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// Where taplore-design writes its output and its messages. Only a terminal is shown the
// progress of long work, on the message stream.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
    std::istream* in = nullptr; // what --taps-from - reads; nothing when null
};

// Parses the arguments (those after the program's name), designs and writes; returns the exit
// status: 0 written, 1 design or output failed, 2 arguments refused.
int RunDesignCli(const std::vector<std::string>& arguments, const CliStreams& streams);
