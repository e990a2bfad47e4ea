// The program's entry: everything happens in appMain.
#include <cstdlib>

#include "app/app.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    static char instance;  // stands for the module instance handle
    // Whoever started the program reads what it prints (--help, --version,
    // the benchmark's lines, its warnings), on every system.
    platformConsoleAttach();
    // Ended with exit() rather than a return, which is the same on a
    // desktop: in a web page main has long given the browser back its
    // thread when the program ends, and only exit() still reports the status.
    std::exit(appMain(&instance, argc, argv));
}
