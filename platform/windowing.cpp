#include "platform/windowing.h"

#include "platform/queue.h"

WindowingLayer windowingLayer;

namespace {

PlatformCursor arrowCursor;

}  // namespace

PlatformCursor* platformLoadArrowCursor() {
    return &arrowCursor;
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    if (windowClass == nullptr || windowClass->windowProc == nullptr ||
        windowClass->className == nullptr) {
        return 0;
    }
    if (!windowingLayer.up) {
        if (!windowingSystemStart()) return 0;
        windowingLayer.up = true;
    }
    windowingLayer.procedure = windowClass->windowProc;
    windowingLayer.className = windowClass->className;
    return 0xC001;
}

int platformUnregisterClass(const char* className, void*) {
    if (!windowingLayer.up || className == nullptr || windowingLayer.className != className) {
        return 0;
    }
    // As on Windows, a class stays while a window of it is there: taking the
    // window system down would pull the window from under its owner.
    if (windowingLayer.window != nullptr) return 0;
    windowingLayer.procedure = nullptr;
    windowingLayer.className.clear();
    queueClear();
    windowingSystemStop();
    windowingLayer.up = false;
    return 1;
}

bool windowingMayCreate(const char* className, const PlatformPixelFormat* pixelFormat) {
    return windowingLayer.up && windowingLayer.procedure != nullptr && className != nullptr &&
           windowingLayer.className == className && pixelFormat != nullptr &&
           windowingLayer.window == nullptr;
}

void windowingAdopt(PlatformWindow* window, void* createParams) {
    WindowingWindow* shared = windowingOf(window);
    shared->dc = PlatformDeviceContext{window, PlatformPixelFormat{}};
    shared->userData = nullptr;
    windowingLayer.window = window;
    PlatformCreateStruct creation{createParams};
    windowingLayer.procedure(window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation));
}

void windowingSendSize(PlatformWindow* window, int width, int height) {
    if (windowingLayer.procedure == nullptr) return;
    windowingLayer.procedure(window, WM_SIZE, SIZE_RESTORED, queuePackSize(width, height));
}

void windowingForget(PlatformWindow* window) {
    queueDrop(window);
    if (windowingLayer.window == window) windowingLayer.window = nullptr;
}

int platformShowCursor(int show) {
    windowingLayer.cursorCounter += show ? 1 : -1;
    windowingShowPointer(windowingLayer.cursorCounter >= 0);
    return windowingLayer.cursorCounter;
}

PlatformDeviceContext* platformGetDC(PlatformWindow* window) {
    WindowingWindow* shared = windowingOf(window);
    return shared != nullptr ? &shared->dc : nullptr;
}

int platformReleaseDC(PlatformWindow* window, PlatformDeviceContext* dc) {
    return window != nullptr && dc != nullptr && dc == platformGetDC(window) ? 1 : 0;
}

int platformChoosePixelFormat(PlatformDeviceContext* dc, const PlatformPixelFormat* request) {
    // The one format there is: the closest framebuffer to the request, which
    // the window was made with or its context will be.
    return dc != nullptr && request != nullptr ? 1 : 0;
}

int platformSetPixelFormat(PlatformDeviceContext* dc, int format,
                           const PlatformPixelFormat* request) {
    if (dc == nullptr || format != 1 || request == nullptr) return 0;
    dc->format = *request;
    return 1;
}

void platformSetWindowUserData(PlatformWindow* window, void* data) {
    WindowingWindow* shared = windowingOf(window);
    if (shared != nullptr) shared->userData = data;
}

void* platformGetWindowUserData(PlatformWindow* window) {
    WindowingWindow* shared = windowingOf(window);
    return shared != nullptr ? shared->userData : nullptr;
}

intptr_t platformDefWindowProc(PlatformWindow*, uint32_t, uintptr_t, intptr_t) {
    return 0;
}
