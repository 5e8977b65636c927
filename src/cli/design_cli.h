#pragma once
// taplore-design's work, callable in-process: the program's entry and its fuzz target run it.

#include <ostream>

// Where taplore-design writes its output and its messages. Only a terminal is shown the
// progress of long work, on the message stream.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Parses the arguments (argv[0] is the program), designs and writes; returns the exit status:
// 0 written, 1 design or output failed, 2 arguments refused.
int RunDesignCli(int argc, const char* const* argv, const CliStreams& streams);
