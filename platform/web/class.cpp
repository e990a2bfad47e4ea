// The page as the window system (as the window class comes and goes), and
// the one window's record.
#include "platform/web/internal.h"

WebLayer webLayer;

WindowingWindow* windowingOf(PlatformWindow* window) {
    return window != nullptr ? &window->shared : nullptr;
}

bool windowingSystemStart() {
    // The listeners belong to the page, which outlives any class: a class
    // registered again must not add them twice, or every key would come
    // twice.
    if (!webLayer.listening) webListen(), webTouchListen(), webPanelListen();
    webLayer.listening = true;
    return true;
}

void windowingSystemStop() {
    webLeaveFullscreen();
}
