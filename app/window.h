// The program's one window with its OpenGL rendering context, and the
// display mode it runs in.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "platform/platform.h"

// 256 entries indexed by virtual-key code: 1 while the key is down, else 0;
// and beside them how often each key went down since the scene last took
// its presses, so that a key pressed and let go between two frames still
// counts once.
struct KeyTable {
    int32_t entries[256];
    int32_t presses[256];
};

struct Application {
    void* instance;
    const char* className;
};

struct GLWindow {
    KeyTable* keys;
    PlatformWindow* windowHandle;
    PlatformDeviceContext* deviceContext;
    PlatformRenderContext* renderContext;
    Application* application;
    const char* title;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    int32_t isFullScreen;
    int32_t isVisible;
    uint32_t lastTickCount;
    // 1 from WM_KILLFOCUS until WM_SETFOCUS: the pointer belongs to other
    // windows meanwhile.
    int32_t focusLost;
    // 1 when the window is new or has the focus back: the next frame puts
    // the pointer at the mouse-look centre and turns nothing.
    int32_t pointerToCentre;
    // The renderer asked for (a DrawRenderer): each window is drawn with it
    // where its context can be had, else with gl1.
    int32_t renderer;
    // How many times the window was minimised or hidden: the time until it
    // shows again is nobody's frame.
    int32_t timesHidden;
    // What the command line asked for; never null while the program runs.
    const Settings* settings;
};

// The framebuffer the window asks for: double-buffered RGBA with depth,
// stencil (the bits counting the passes needs) and accumulation buffers.
PlatformPixelFormat windowPixelFormatRequest(int32_t bitsPerPixel);
// Viewport and a 90-degree perspective for a client area of this size.
void viewportResize(int32_t width, int32_t height);
// 1 when the screen now runs at this size and depth, else 0.
int displayModeSet(int32_t width, int32_t height, int32_t bitsPerPixel);
// 1 with window, device context and current rendering context made; 0 after
// releasing whatever it had made.
int windowCreate(GLWindow* window);
// Releases whatever the record holds and restores the display mode.
void windowDestroy(GLWindow* window);
