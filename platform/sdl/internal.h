// What the files of the SDL layer share: the handles' true shapes and the one
// record of the layer's state. Nothing outside platform/ includes this.
#pragma once

#include <SDL.h>
#include <signal.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/windowing.h"

struct PlatformWindow {
    WindowingWindow shared;
    SDL_Window* sdl;
    bool popup;
    // A framed window asked for by its outer size: once the window manager
    // has framed it, the client area shrinks by the frame.
    bool outerSized;
    int outerWidth, outerHeight;
    // The client size of our own fitting, whose resize event is not the
    // user's.
    int fittedWidth, fittedHeight;
};

// A PlatformRenderContext* is SDL's context itself.
inline SDL_GLContext sdlContext(PlatformRenderContext* rc) {
    return static_cast<SDL_GLContext>(rc);
}

struct SdlFrame {
    int left, top, right, bottom;
};

struct SdlClientSizeHint {
    bool valid;
    int outerWidth, outerHeight;
    int clientWidth, clientHeight;
};

// What only this side keeps; the window class, the one window and the
// message queue are in platform/windowing.h and platform/queue.h.
struct SdlLayer {
    // The display mode the next fullscreen window runs in.
    bool modeSet = false;
    SDL_DisplayMode mode{};
    // The frame the window manager put around the last framed window; until
    // a window has been seen it is taken as none.
    SdlFrame frame{0, 0, 0, 0};
    // The last client rectangle grown to a window rectangle: a window made
    // at exactly that outer size gets exactly that client size.
    SdlClientSizeHint hint{false, 0, 0, 0, 0};
    // Where the pointer is, in screen coordinates, as last seen or put.
    bool cursorKnown = false;
    int cursorX = 0, cursorY = 0;
    // Until the first window is made a toggle has nothing to act on.
    bool windowMadeOnce = false;
    // What the next window's rendering context is.
    PlatformGLKind glKind = platformGLDesktop;
    // Found with the first OpenGL ES window: SDL makes their contexts
    // through GLX, not EGL.
    bool esThroughGlx = false;
};

extern SdlLayer sdlLayer;

// Set by SIGUSR1; the queue turns it into the toggle message.
extern volatile sig_atomic_t sdlToggleSignalled;

// The virtual-key code of a key, or -1 for keys that have none.
int sdlVirtualKeyFromSdl(SDL_Keycode key);

// Asks for the framebuffer closest to the request, with or without the
// accumulation and stencil buffers.
// The request to SDL, with or without the accumulation buffer, and with at
// most `stencilBits` of stencil.
void sdlSetFramebufferAttributes(const PlatformPixelFormat* format, bool accum, int stencilBits);
// SDL_CreateWindow for a window of the next rendering context's kind, with
// the visual that context's framebuffer draws in.
SDL_Window* sdlCreateGLWindow(const char* title, int x, int y, int width, int height, Uint32 flags);
void sdlHideSrgbFramebufferExtension();
