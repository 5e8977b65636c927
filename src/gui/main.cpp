#include "gui/design_app.h"

#include <csignal>

int main(int argc, char** argv) {
    // A pipe whose reader went away fails the write (reported as disk full) instead of
    // killing the program.
    std::signal(SIGPIPE, SIG_IGN);
    CDesignApp app(argc, argv);
    return app.InitInstance() ? CDesignApp::exec() : 0;
}
