#include "cli/console.h"

int Report(Console& console, int status, const std::string& message) {
    Warn(console, message);
    return status;
}

void Warn(Console& console, const std::string& message) {
    console.progress.Erase();
    console.err << kProgram << ": " << message << '\n';
}
