// The page as the window system (as the window class comes and goes), and
// the one window's record.
#include "platform/web/internal.h"

WebLayer webLayer;

WindowingWindow* windowingOf(PlatformWindow* window) {
    return window != nullptr ? &window->shared : nullptr;
}

bool windowingSystemStart() {
    webListen();
    return true;
}

void windowingSystemStop() {
    webLeaveFullscreen();
}
