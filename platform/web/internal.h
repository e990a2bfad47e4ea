// What the files of the web layer share: the handles' true shapes and the one
// record of the layer's state. Nothing outside platform/ includes this.
//
// The page (index.html) holds the elements the layer works with: #screen,
// the picture's frame, which goes fullscreen and captures the pointer, with
// #box, the message box, inside it. The layer puts one <canvas id="canvas">
// into #screen for each window it makes. #panel holds the controls of the
// settings that keys step (panel.cpp).
#pragma once

#include <emscripten/html5.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/windowing.h"

struct PlatformWindow {
    WindowingWindow shared;
    bool popup;
    int width, height;
};

// A PlatformRenderContext* is the browser's context handle itself, a
// number above zero.
inline EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webContext(PlatformRenderContext* rc) {
    return static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(reinterpret_cast<intptr_t>(rc));
}

// What only this side keeps; the window class, the one window and the
// message queue are in platform/windowing.h and platform/queue.h.
struct WebLayer {
    // The page's listeners are added once and stay with the page.
    bool listening = false;
    // The page's fullscreen stands for the program's display mode. Leaving
    // it waits for the next window: a window re-made in the same mode keeps
    // it, since the browser grants it again only from a click or key.
    bool fullscreen = false;
    bool leaveFullscreen = false;
    // The pointer as the program sees it: the browser's own pointer cannot
    // be put anywhere, so the captured pointer's movements move this one.
    int cursorX = 400, cursorY = 300;
    bool held[256] = {};
    PlatformGLKind glKind = platformGLDesktop;
};

extern WebLayer webLayer;

// Starts listening to the page: keys, the pointer, focus, the buttons.
void webListen();
// Starts listening to fingers: on the picture, and on the touch controls.
void webTouchListen();
// Makes the page's panel of settings work: its controls press the keys.
void webPanelListen();
// Takes the page's fullscreen away, when nothing keeps it.
void webLeaveFullscreen();
