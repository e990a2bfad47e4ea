// Windows: one canvas on the page each, inside the picture's frame.
#include <emscripten/emscripten.h>

#include <algorithm>

#include "platform/web/internal.h"

namespace {

// A fresh canvas for every window, so every window's context starts empty
// as a new window's does: a canvas keeps the one context it ever gave. A
// fullscreen window's canvas fills the screen, scaled as a monitor shows a
// smaller mode. A lost context is reported only while its canvas is the
// page's.
// clang-format off
EM_JS(void, webCanvasCreate, (const char* title, int width, int height, int popup), {
    var screen = document.getElementById('screen');
    var canvas = document.createElement('canvas');
    canvas.id = 'canvas';
    canvas.width = width;
    canvas.height = height;
    canvas.className = popup ? 'fullscreen' : 'windowed';
    canvas.hidden = true;
    canvas.addEventListener('webglcontextlost', function(e) {
        e.preventDefault();
        if (canvas.isConnected) Module.web.post(Module.web.kind.lost, 0, 0);
    });
    screen.insertBefore(canvas, screen.firstChild);
    document.title = UTF8ToString(title);
});
// clang-format on

// clang-format off
EM_JS(void, webCanvasShow, (), {
    document.getElementById('canvas').hidden = false;
});
// clang-format on

// clang-format off
EM_JS(void, webCanvasRemove, (), {
    var canvas = document.getElementById('canvas');
    if (canvas) canvas.remove();
});
// clang-format on

}  // namespace

int platformAdjustWindowRect(PlatformRect* rect, uint32_t, uint32_t) {
    // A canvas has no frame: the window is its client area.
    return rect != nullptr ? 1 : 0;
}

PlatformWindow* platformCreateWindow(uint32_t, const char* className, const char* title,
                                     uint32_t style, int, int, int width, int height, void*,
                                     void* createParams, const PlatformPixelFormat* pixelFormat) {
    if (!windowingMayCreate(className, pixelFormat)) return nullptr;
    const bool popup = (style & WS_POPUP) != 0;
    if (!popup && webLayer.leaveFullscreen) webLeaveFullscreen();
    webLayer.leaveFullscreen = false;

    PlatformWindow* window = new PlatformWindow;
    window->popup = popup;
    window->width = std::max(width, 1);
    window->height = std::max(height, 1);
    webCanvasCreate(title != nullptr ? title : "", window->width, window->height, popup ? 1 : 0);
    windowingAdopt(window, createParams);
    return window;
}

int platformShowWindow(PlatformWindow* window, int) {
    if (window == nullptr) return 0;
    webCanvasShow();
    windowingSendSize(window, window->width, window->height);
    return 1;
}

int platformDestroyWindow(PlatformWindow* window) {
    if (window == nullptr) return 0;
    webCanvasRemove();
    windowingForget(window);
    delete window;
    return 1;
}
