// The page as the window system (the window class), and the end of it.
#include "platform/web/internal.h"

WebLayer webLayer;

namespace {

PlatformCursor arrowCursor;

}  // namespace

PlatformCursor* platformLoadArrowCursor() {
    // The page's own pointer; nothing needs loading.
    return &arrowCursor;
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    if (windowClass == nullptr || windowClass->windowProc == nullptr ||
        windowClass->className == nullptr) {
        return 0;
    }
    if (!webLayer.up) {
        webListen();
        webTouchListen();
        webLayer.up = true;
    }
    webLayer.windowProc = windowClass->windowProc;
    webLayer.className = windowClass->className;
    return 0xC001;
}

int platformUnregisterClass(const char* className, void*) {
    if (!webLayer.up || className == nullptr || webLayer.className != className) return 0;
    webLayer.windowProc = nullptr;
    webLayer.className.clear();
    webLayer.queue.clear();
    webLeaveFullscreen();
    webLayer.up = false;
    return 1;
}
