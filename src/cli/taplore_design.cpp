// taplore-design's entry: its work on the process's own streams.
#include "cli/design_cli.h"
#include "core/io/platform.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    platform::BinaryStandardOutput();
    return RunDesignCli(platform::Utf8Arguments(argc, argv),
                        {std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, &std::cin});
}
