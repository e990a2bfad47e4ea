// The program's entry: everything happens in appRun.
#include <cstdlib>

#include "app/app.h"

int main() {
    static char instance;  // stands for the module instance handle
    // Ended with exit() rather than a return, which is the same on a
    // desktop: in a web page main has long given the browser back its
    // thread when the program ends, and only exit() still reports the status.
    std::exit(appRun(&instance));
}
