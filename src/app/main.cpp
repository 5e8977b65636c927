#include "app/design_app.h"

// The one application object, built before main() runs.
CDesignApp theApp;

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
