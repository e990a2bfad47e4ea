// What the files of the web layer share: the handles' true shapes and the one
// record of the layer's state. Nothing outside platform/ includes this.
//
// The page (index.html) holds the elements the layer works with: #screen,
// the picture's frame, which goes fullscreen and captures the pointer, with
// #box, the message box, inside it. The layer puts one <canvas id="canvas">
// into #screen for each window it makes.
#pragma once

#include <emscripten/html5.h>

#include <cstdint>
#include <deque>
#include <string>

#include "platform/platform.h"

struct PlatformDeviceContext {
    PlatformWindow* window;
};

struct PlatformWindow {
    PlatformDeviceContext dc;
    void* userData;
    bool popup;
    int width, height;
    // What the pixel-format calls confirmed: the context is made with it.
    bool depth, stencil;
};

struct PlatformRenderContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gl;
};

struct PlatformCursor {
    int unused;
};

struct WebLayer {
    bool up = false;
    PlatformWindowProc windowProc = nullptr;
    std::string className;
    PlatformWindow* window = nullptr;  // the one window, or null
    std::deque<PlatformMessage> queue;
    // The page's fullscreen stands for the program's display mode. Leaving
    // it waits for the next window: a window re-made in the same mode keeps
    // it, since the browser grants it again only from a click or key.
    bool fullscreen = false;
    bool leaveFullscreen = false;
    int cursorCounter = 0;
    // The pointer as the program sees it: the browser's own pointer cannot
    // be put anywhere, so the captured pointer's movements move this one.
    int cursorX = 400, cursorY = 300;
    bool held[256] = {};
    PlatformGLKind glKind = platformGLDesktop;
};

extern WebLayer webLayer;

// A client size as WM_SIZE carries it in lParam.
intptr_t webPackSize(int width, int height);
void webQueuePost(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Turns what happened on the page since the last call into window messages.
void webPumpEvents();
// Starts listening to the page: keys, the pointer, focus, the buttons.
void webListen();
// Starts listening to fingers: on the picture, and on the touch controls.
void webTouchListen();
// Takes the page's fullscreen away, when nothing keeps it.
void webLeaveFullscreen();
