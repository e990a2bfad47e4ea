// The program's entry: everything happens in appRun.
#include "app/app.h"

int main() {
    static char instance;  // stands for the module instance handle
    return appRun(&instance);
}
